// The few characters the spectrogram's scales need (digits, "." "-" " " and
// the letters of "Hz", "k", "s", "dB"), 3 x 5 pixels each, drawn at any whole
// scale into an RGB picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows from the top

    RgbPicture(int w, int h, std::uint32_t fill)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    void set(int x, int y, std::uint32_t colour) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            pixels[static_cast<std::size_t>(y) * width + x] = colour;
    }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Width in pixels of text drawn at scale.
int textWidth(const std::string& text, int scale);
// Draws text with its top-left corner at (x, y); unknown characters are blank.
void drawText(RgbPicture& picture, int x, int y, const std::string& text, int scale,
              std::uint32_t colour);

}  // namespace render
