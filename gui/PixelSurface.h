// A block of 32-bit pixels, 0xAARRGGBB, rows from the top: what every
// drawing of the framework writes, and what a native window shows (as
// 0x00RRGGBB: the top byte is not shown).
#pragma once

#include <cstdint>
#include <vector>

#include "gui/Geometry.h"

namespace gui {

struct PixelSurface {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // pixels from one row to the next

    std::uint32_t* row(int y) const { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
    CRect bounds() const { return {0, 0, width, height}; }
};

// A surface that owns its pixels.
class PixelBuffer {
  public:
    PixelBuffer() = default;
    PixelBuffer(int width, int height, std::uint32_t fill = 0)
        : pixels_(static_cast<std::size_t>(width) * height, fill), width_(width), height_(height) {}

    PixelSurface surface() { return {pixels_.data(), width_, height_, width_}; }
    const std::uint32_t* data() const { return pixels_.data(); }
    std::uint32_t* data() { return pixels_.data(); }
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    std::vector<std::uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace gui
