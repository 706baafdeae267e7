// Runs a helper program (a dialog) and waits for it, as the Linux message
// boxes and file choosers do: there is no system call for either.
#pragma once

#include <string>
#include <vector>

namespace platform::detail {

// The program's exit status, or -1 when it could not be started. With
// output, what it wrote to standard output.
int runProgram(const std::vector<std::string>& args, std::string* output = nullptr);

// Whether a display is there to show a dialog on (LUMAVOX_MESSAGES=stderr,
// which the command-line tools set, says no).
bool haveDisplay();

}  // namespace platform::detail
