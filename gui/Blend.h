// Source-over blending of 0xAARRGGBB pixels with straight alpha, in exact
// integer arithmetic, so that every build and every path (scalar or SSE2)
// gives the same pixels and pictures can be compared bit for bit.
#pragma once

#include <cstdint>

namespace gui {

// x / 255 rounded to nearest, exact for 0 <= x <= 255 x 255.
inline std::uint32_t divideBy255(std::uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// The source pixel over the destination with opacity a (0..255); the result
// is opaque.
inline std::uint32_t blendPixel(std::uint32_t source, std::uint32_t destination, std::uint32_t a) {
    const std::uint32_t inverse = 255 - a;
    const std::uint32_t r =
        divideBy255(((source >> 16) & 0xFF) * a + ((destination >> 16) & 0xFF) * inverse);
    const std::uint32_t g =
        divideBy255(((source >> 8) & 0xFF) * a + ((destination >> 8) & 0xFF) * inverse);
    const std::uint32_t b = divideBy255((source & 0xFF) * a + (destination & 0xFF) * inverse);
    return 0xFF000000u | r << 16 | g << 8 | b;
}

// One row: each source pixel over the destination by its own alpha scaled
// by opacity (0..255; 255 is the pixel's own alpha). With skipKey, pixels of
// the old transparency colour (pure magenta) are left out.
void blendRow(std::uint32_t* destination, const std::uint32_t* source, int count,
              std::uint32_t opacity, bool skipKey);

constexpr std::uint32_t kTransparentKey = 0x00FF00FFu;  // magenta, alpha ignored

}  // namespace gui
