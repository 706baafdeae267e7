// A program's picture from an image file and into a bitmap file. Import
// decodes the file first and only then writes the picture, so a file that
// cannot be read leaves the picture as it was; it gives the picture the
// image's whole width at 512 columns and its height at 256 rows, each over
// two picture rows (ImageGeometry). Export writes a 512 x 512 24-bit BMP of
// the picture's red, green and blue.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/ImageCodec.h"

namespace lumavox {

// Larger files are no picture anyone means to load.
constexpr std::size_t kMaxImageFileBytes = 256u << 20;

// picture: 512 x 512 words 0x00RRGGBB, rows from the top. False (picture
// untouched) with the reason in error when the file cannot be read or decoded.
bool importPictureFile(const std::filesystem::path& path, std::uint32_t* picture,
                       std::string& error);
bool importPictureBytes(const void* data, std::size_t size, std::uint32_t* picture,
                        std::string& error);

// A decoded image of any size into the picture, as the import scales it.
void scaleImageToPicture(const platform::Image& image, std::uint32_t* picture);

// False with the reason in error when the file cannot be written; an
// existing file is then left as it was.
bool exportPictureFile(const std::filesystem::path& path, const std::uint32_t* picture,
                       std::string& error);

}  // namespace lumavox
