// Image files for --image (bmp, png, jpg, gif and the rest stb_image reads),
// decoded to 8-bit RGBA.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // rows from the top
};

// Throws RenderError naming path when the file cannot be read or decoded.
DecodedImage readImageFile(const std::string& path);

}  // namespace render
