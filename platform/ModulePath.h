#pragma once

#include <string>

namespace platform {

// Full path of the file that holds the plug-in's own code (the .so or .dll,
// or the program it is linked into), as the system reports it; empty when the
// system cannot tell. Found from the address of our code, not by name, so a
// renamed plug-in file still finds itself.
std::string ownModulePath();

}  // namespace platform
