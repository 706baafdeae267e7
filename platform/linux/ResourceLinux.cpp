#include <cstring>

#include "platform/Resource.h"

// Defined by the resources library, which the plug-in links; weak, so that a
// program without it links too and finds nothing.
extern "C" {
extern const platform::EmbeddedResource lumavoxEmbeddedResources[] __attribute__((weak));
extern const int lumavoxEmbeddedResourceCount __attribute__((weak));
}

namespace platform {

ResourceBytes findResource(const char* type, int id) {
    if (!type || !&lumavoxEmbeddedResourceCount) return {};
    for (int i = 0; i < lumavoxEmbeddedResourceCount; ++i) {
        const EmbeddedResource& r = lumavoxEmbeddedResources[i];
        if (r.id == id && std::strcmp(r.type, type) == 0)
            return {r.begin, static_cast<std::size_t>(r.end - r.begin)};
    }
    return {};
}

ResourceBytes findBitmapResource(int id) {
    return findResource("BITMAP", id);
}

}  // namespace platform
