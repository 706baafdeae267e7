#include <cstring>

#include "platform/Resource.h"

// Defined by the resources library, which the build links with this one.
extern "C" {
extern const platform::EmbeddedResource lumavoxEmbeddedResources[];
extern const int lumavoxEmbeddedResourceCount;
}

namespace platform {

ResourceBytes findResource(const char* type, int id) {
    if (!type) return {};
    for (int i = 0; i < lumavoxEmbeddedResourceCount; ++i) {
        const EmbeddedResource& r = lumavoxEmbeddedResources[i];
        if (r.id == id && std::strcmp(r.type, type) == 0)
            return {r.begin, static_cast<std::size_t>(r.end - r.begin)};
    }
    return {};
}

}  // namespace platform
