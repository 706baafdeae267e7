#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "instrument/ImageGeometry.h"

namespace lumavox {
namespace {

constexpr int kW = PictureGeometry::kWidth;
constexpr int kH = PictureGeometry::kHeight;

struct Image {
    Image(int w, int h, std::uint32_t rgba = 0x000000FF)
        : width(w), height(h), pixels(std::size_t(w) * h * 4) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                set(x, y, rgba);
    }
    void set(int x, int y, std::uint32_t rgba) {
        std::uint8_t* p = &pixels[(std::size_t(y) * width + x) * 4];
        p[0] = static_cast<std::uint8_t>(rgba >> 24);
        p[1] = static_cast<std::uint8_t>(rgba >> 16);
        p[2] = static_cast<std::uint8_t>(rgba >> 8);
        p[3] = static_cast<std::uint8_t>(rgba);
    }
    void setRow(int y, std::uint32_t rgba) {
        for (int x = 0; x < width; ++x)
            set(x, y, rgba);
    }
    std::vector<std::uint32_t> picture() const {
        std::vector<std::uint32_t> out(std::size_t(kW) * kH, 0xDEADBEEF);
        scaleImageToPicture(pixels.data(), width, height, out.data());
        return out;
    }
    int width, height;
    std::vector<std::uint8_t> pixels;
};

std::uint32_t at(const std::vector<std::uint32_t>& picture, int x, int y) {
    return picture[std::size_t(y) * kW + x];
}

TEST(ImageGeometry, AWideImageFillsTheWholePicture) {
    // 1024 x 256: left half red, right half green; squeezed across, stretched up.
    Image image(1024, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 1024; ++x)
            image.set(x, y, x < 512 ? 0xFF0000FF : 0x00FF00FF);
    const auto picture = image.picture();
    for (int y = 0; y < kH; ++y) {
        EXPECT_EQ(at(picture, 0, y), 0xFF0000u);
        EXPECT_EQ(at(picture, 255, y), 0xFF0000u);
        EXPECT_EQ(at(picture, 256, y), 0x00FF00u);
        EXPECT_EQ(at(picture, 511, y), 0x00FF00u);
    }
}

TEST(ImageGeometry, ASquareImageKeepsOnlyHalfItsRows) {
    // Rows of a pair are averaged on the way to 256 rows, so swapping them
    // changes nothing, and an alternating pattern disappears altogether.
    std::mt19937 random(1234);
    Image image(512, 512), swapped(512, 512), stripes(512, 512);
    for (int y = 0; y < 512; ++y) {
        const std::uint32_t grey = (random() & 0xFF) * 0x01010100u | 0xFF;
        image.setRow(y, grey);
        swapped.setRow(y ^ 1, grey);
        stripes.setRow(y, y % 2 ? 0xFFFFFFFF : 0x000000FF);
    }
    EXPECT_EQ(image.picture(), swapped.picture()) << "seed 1234";
    for (std::uint32_t pixel : stripes.picture())
        ASSERT_EQ(pixel, 0x808080u);

    // One bright row pair: both its picture rows are equal and the brightest.
    Image pair(512, 512);
    pair.setRow(200, 0xFF0000FF);
    pair.setRow(201, 0xFF0000FF);
    const auto picture = pair.picture();
    EXPECT_EQ(at(picture, 7, 200), at(picture, 7, 201));
    EXPECT_EQ(at(picture, 7, 200), 0xBF0000u);
    EXPECT_EQ(at(picture, 7, 199), 0x400000u);
    EXPECT_EQ(at(picture, 7, 202), 0x400000u);
}

TEST(ImageGeometry, TransparencyComesOutBlack) {
    Image image(64, 64, 0xFFFFFF00);
    image.set(0, 0, 0xFFFFFF80);
    for (int y = 0; y < 32; ++y)
        for (int x = 32; x < 64; ++x)
            image.set(x, y, 0x20406080);  // half-transparent
    const auto picture = image.picture();
    EXPECT_EQ(at(picture, 511, 511), 0u);
    EXPECT_EQ(at(picture, 300, 300), 0u);
    EXPECT_EQ(at(picture, 400, 100), 0x102030u);
}

TEST(ImageGeometry, ARedRowLandsInItsRowsAcrossThePicture) {
    // Row 8 of 32 stands for picture rows 128 to 143: the red peaks at their
    // middle and fades out over about one image row on either side.
    Image image(64, 32);
    image.setRow(8, 0xFF0000FF);
    const auto picture = image.picture();
    std::vector<std::uint32_t> column(kH);
    for (int y = 0; y < kH; ++y) {
        column[std::size_t(y)] = at(picture, 0, y);
        for (int x = 1; x < kW; ++x)
            ASSERT_EQ(at(picture, x, y), column[std::size_t(y)]) << x << ", " << y;
        EXPECT_EQ(column[std::size_t(y)] & 0xFFFF, 0u) << "red only, row " << y;
        if (y < 118 || y > 153) {
            EXPECT_EQ(column[std::size_t(y)], 0u) << "row " << y;
        }
    }
    EXPECT_EQ(column[135], column[136]);
    for (int y = 0; y < kH; ++y)
        EXPECT_LE(column[std::size_t(y)], column[135]) << "row " << y;
    EXPECT_GT(column[135] >> 16, 0xE0u);
    EXPECT_GT(column[128] >> 16, 0x80u);
    EXPECT_GT(column[143] >> 16, 0x80u);
}

TEST(ImageGeometry, AnEmptyImageGivesABlackPicture) {
    std::vector<std::uint32_t> picture(std::size_t(kW) * kH, 1);
    scaleImageToPicture(nullptr, 0, 0, picture.data());
    for (std::uint32_t pixel : picture)
        ASSERT_EQ(pixel, 0u);
}

}  // namespace
}  // namespace lumavox
