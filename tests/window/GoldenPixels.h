#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/FileBytes.h"
#include "platform/ImageCodec.h"

namespace windowtest {

// The headless render of the editor at the factory state (the editor's
// golden picture), 688 x 604; empty when it cannot be read.
inline platform::Image goldenEditor() {
    platform::Image image;
    std::vector<std::uint8_t> bytes;
    if (platform::readFileBytes(LUMAVOX_EDITOR_GOLDEN, bytes, 16 << 20))
        platform::decodeImage(bytes.data(), bytes.size(), image);
    return image;
}

// How many pixels (red, green, blue) differ; the first few go to report.
template <class PixelAt>
int countDifferences(const platform::Image& golden, PixelAt&& at, std::string& report) {
    int differing = 0;
    for (int y = 0; y < golden.height; ++y)
        for (int x = 0; x < golden.width; ++x) {
            const std::uint32_t shown = at(x, y) & 0xFFFFFF;
            const std::uint32_t expected = golden.pixels[y * golden.width + x] & 0xFFFFFF;
            if (shown != expected && differing++ < 5) {
                char line[96];
                std::snprintf(line, sizeof line, "(%d, %d) shows %06x, expected %06x; ", x, y,
                              static_cast<unsigned>(shown), static_cast<unsigned>(expected));
                report += line;
            }
        }
    return differing;
}

}  // namespace windowtest
