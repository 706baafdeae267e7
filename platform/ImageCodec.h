// Image files and bitmap resources to pixels and back: one codec for the
// whole project (the editor's pictures, the picture import and export, the
// render tool). Decoding is stb_image's, which reads bmp, png, jpg, gif (its
// first frame), tga, psd, hdr, pic and pnm.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct Image {
    int width = 0;
    int height = 0;
    // 0xAARRGGBB, straight alpha (255 where the file has none), rows from the top.
    std::vector<std::uint32_t> pixels;
};

// Larger images are refused rather than decoded into gigabytes.
constexpr long long kMaxImagePixels = 1LL << 26;

// False (and an untouched image) when the bytes are not an image the codec
// reads; why is then in lastImageError().
bool decodeImage(const void* data, std::size_t size, Image& image);

// A Windows bitmap resource: a device-independent bitmap without the .bmp
// file header.
bool decodeBitmapResource(const void* data, std::size_t size, Image& image);

// The calling thread's reason for its last failed decode.
std::string lastImageError();

// File contents, the red, green and blue of each pixel: a 24-bit BMP, and an
// 8-bit RGB PNG (RGBA with withAlpha).
std::vector<std::uint8_t> encodeBmp(const std::uint32_t* pixels, int width, int height);
std::vector<std::uint8_t> encodePng(const std::uint32_t* pixels, int width, int height,
                                    bool withAlpha = false);

}  // namespace platform
