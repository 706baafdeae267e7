#include "platform/ImageCodec.h"

#include <gtest/gtest.h>

#include "platform/FileBytes.h"
#include "tests/support/TempDir.h"

namespace {

// A picture whose every pixel differs, so that a swapped channel, a flipped
// row order or an offset by one shows.
std::vector<std::uint32_t> ramp(int width, int height) {
    std::vector<std::uint32_t> p(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p[y * width + x] = static_cast<std::uint32_t>(x * 7 + y) << 16 |
                               static_cast<std::uint32_t>(y * 5) << 8 | ((x ^ y) & 0xFF);
    return p;
}

std::vector<std::uint32_t> opaque(std::vector<std::uint32_t> p) {
    for (std::uint32_t& v : p)
        v |= 0xFF000000u;
    return p;
}

TEST(ImageCodec, BmpAndPngRoundTripTheColoursAndABitmapResourceReadsLikeItsFile) {
    const int w = 37, h = 11;  // 37 x 3 bytes needs row padding in a BMP
    const auto pixels = ramp(w, h);
    for (const auto& file :
         {platform::encodeBmp(pixels.data(), w, h), platform::encodePng(pixels.data(), w, h)}) {
        platform::Image image;
        ASSERT_TRUE(platform::decodeImage(file.data(), file.size(), image));
        EXPECT_EQ(image.width, w);
        EXPECT_EQ(image.height, h);
        EXPECT_EQ(image.pixels, opaque(pixels));
    }
    const auto bmp = platform::encodeBmp(pixels.data(), w, h);
    platform::Image resource;
    ASSERT_TRUE(platform::decodeBitmapResource(bmp.data() + 14, bmp.size() - 14, resource));
    EXPECT_EQ(resource.pixels, opaque(pixels));
}

TEST(ImageCodec, WhatIsNoImageFailsWithAReasonAndLeavesTheImageAlone) {
    platform::Image image;
    image.width = 3;
    const std::uint8_t garbage[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_FALSE(platform::decodeImage(garbage, sizeof garbage, image));
    EXPECT_FALSE(platform::lastImageError().empty());
    EXPECT_FALSE(platform::decodeImage(nullptr, 0, image));
    EXPECT_FALSE(platform::decodeBitmapResource(garbage, sizeof garbage, image));
    auto png = platform::encodePng(ramp(64, 64).data(), 64, 64);
    png.resize(png.size() / 2);  // cut short
    EXPECT_FALSE(platform::decodeImage(png.data(), png.size(), image));
    EXPECT_EQ(image.width, 3);
}

// Symbol counts that add up to more than a table holds made the JPEG decoder
// write past its tables (found by fuzzing the import); such a file is refused.
// The decoder also takes fill bytes before the start of the image.
TEST(ImageCodec, AJpegWhoseHuffmanTableOverflowsIsRefused) {
    for (const std::size_t fill : {0, 1, 5}) {
        SCOPED_TRACE(fill);
        std::vector<std::uint8_t> jpeg(1 + fill, 0xFF);
        jpeg.insert(jpeg.end(), {0xD8, 0xFF, 0xC4, 0x00, 2 + 17 + 0, 0x00});
        for (int i = 0; i < 16; ++i)
            jpeg.push_back(99);  // 1584 symbols
        jpeg.resize(jpeg.size() + 1600, 0x11);
        jpeg.insert(jpeg.end(), {0xFF, 0xD9});
        platform::Image image;
        EXPECT_FALSE(platform::decodeImage(jpeg.data(), jpeg.size(), image));
        EXPECT_NE(platform::lastImageError().find("Huffman"), std::string::npos);
    }
}

TEST(FileBytes, WritesAndReadsBackByAPathWithNonAsciiCharacters) {
    testsupport::TempDir dir;
    const std::filesystem::path path =
        dir.path() / std::filesystem::u8path("Bild \xC3\xA4\xE2\x82\xAC.bmp");
    const std::uint8_t data[] = {'B', 'M', 0, 1, 2, 255};
    ASSERT_TRUE(platform::writeFileBytes(path, data, sizeof data));
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(platform::readFileBytes(path, back, 1 << 20));
    EXPECT_EQ(back, std::vector<std::uint8_t>(data, data + sizeof data));
    EXPECT_FALSE(platform::readFileBytes(path, back, 3));                      // over the limit
    EXPECT_FALSE(platform::readFileBytes(path.parent_path(), back, 1 << 20));  // a folder
    EXPECT_FALSE(platform::writeFileBytes(path / "no" / "such" / "folder", data, 1));
}

}  // namespace
