// The tool's process id, for the names of its temporary files beside an
// output (two tools writing the same output never share one).
#pragma once

#include <string>

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

namespace render {

inline std::string processIdText() {
#if defined(_WIN32)
    return std::to_string(static_cast<long>(_getpid()));
#else
    return std::to_string(static_cast<long>(getpid()));
#endif
}

}  // namespace render
