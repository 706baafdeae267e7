#pragma once

#include <windows.h>

namespace platform {

// The module (DLL) that holds the plug-in's own code.
HMODULE ownModuleHandle();

}  // namespace platform
