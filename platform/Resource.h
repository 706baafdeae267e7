// Data carried inside the plug-in file: Windows resources (found in the
// module that holds our code, not by its name), and on Linux the same bytes
// embedded by the build behind the same lookup. The ids are in
// resources/ResourceIds.h.
#pragma once

#include <cstddef>

namespace platform {

struct ResourceBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    explicit operator bool() const { return data != nullptr; }
};

// The resource of this type name ("FXB", "PNG") and numeric id; empty when
// there is none.
ResourceBytes findResource(const char* type, int id);

// A Windows bitmap resource: a device-independent bitmap without the .bmp
// file header (BITMAPINFOHEADER first); empty when there is none.
ResourceBytes findBitmapResource(int id);

// Linux: one entry of what the build embeds; type "BITMAP" stands for a
// bitmap resource.
struct EmbeddedResource {
    const char* type;
    int id;
    const unsigned char* begin;
    const unsigned char* end;
};

}  // namespace platform
