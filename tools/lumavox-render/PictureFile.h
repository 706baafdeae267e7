// Image files in and out of a program's picture, through the project's one
// image codec (platform/ImageCodec): --picture takes a 512 x 512 image pixel
// for pixel, --image scales any image as the editor's Load does
// (instrument/ImageGeometry), --save-picture writes the picture as PNG or BMP.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

enum class PictureImport { PixelForPixel, Scaled };

// 512 x 512 words 0x00RRGGBB, rows from the top; transparent pixels come out
// black, as if painted over a black picture. Throws RenderError naming path
// (a file that is not an image, is damaged, or has the wrong size for
// PixelForPixel).
std::vector<std::uint32_t> readPictureFile(const std::string& path, PictureImport import);

// The file's bytes, PNG or BMP by the extension of path; throws RenderError
// for any other extension.
std::vector<std::uint8_t> encodePictureFile(const std::string& path,
                                            const std::vector<std::uint32_t>& picture);
// Checks the extension only, so that a bad name is refused before a render.
void checkPictureFileName(const std::string& path);

}  // namespace render
