// How an imported image becomes a program's picture: the whole image is
// scaled to 512 x 256 (whatever its size and aspect ratio), then stretched to
// 512 x 512, both with bilinear filtering, so the picture keeps the image's
// horizontal detail at 512 columns and its vertical detail at 256 rows, each
// spread over two picture rows. Transparent areas come out black, as if drawn
// over a black picture. Pure geometry: the caller decodes the file.
#pragma once

#include <cstdint>

namespace lumavox {

struct PictureGeometry {
    static constexpr int kWidth = 512;
    static constexpr int kHeight = 512;
    static constexpr int kImportRows = 256;  // the vertical resolution an image keeps
};

// rgba: width x height pixels of 4 bytes (red, green, blue, alpha), rows from
// the top. picture: kWidth x kHeight words 0x00RRGGBB, rows from the top. An
// empty image (width or height below 1) gives a black picture.
void scaleImageToPicture(const std::uint8_t* rgba, int width, int height, std::uint32_t* picture);

}  // namespace lumavox
