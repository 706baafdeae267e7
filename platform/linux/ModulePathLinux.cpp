#include <dlfcn.h>

#include "platform/ModulePath.h"

namespace platform {

std::string ownModulePath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&ownModulePath), &info) == 0 || !info.dli_fname)
        return {};
    return info.dli_fname;
}

}  // namespace platform
