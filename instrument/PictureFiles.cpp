#include "instrument/PictureFiles.h"

#include <vector>

#include "instrument/ImageGeometry.h"
#include "platform/FileBytes.h"
#include "platform/ImageCodec.h"

namespace lumavox {

void scaleImageToPicture(const platform::Image& image, std::uint32_t* picture) {
    std::vector<std::uint8_t> rgba(image.pixels.size() * 4);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const std::uint32_t p = image.pixels[i];
        rgba[4 * i] = static_cast<std::uint8_t>(p >> 16);
        rgba[4 * i + 1] = static_cast<std::uint8_t>(p >> 8);
        rgba[4 * i + 2] = static_cast<std::uint8_t>(p);
        rgba[4 * i + 3] = static_cast<std::uint8_t>(p >> 24);
    }
    scaleImageToPicture(rgba.data(), image.width, image.height, picture);
}

bool importPictureBytes(const void* data, std::size_t size, std::uint32_t* picture,
                        std::string& error) {
    platform::Image image;
    if (!platform::decodeImage(data, size, image)) {
        error = "not an image this plug-in can read (" + platform::lastImageError() + ")";
        return false;
    }
    scaleImageToPicture(image, picture);
    return true;
}

bool importPictureFile(const std::filesystem::path& path, std::uint32_t* picture,
                       std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!platform::readFileBytes(path, bytes, kMaxImageFileBytes)) {
        error = "cannot read the file";
        return false;
    }
    return importPictureBytes(bytes.data(), bytes.size(), picture, error);
}

bool exportPictureFile(const std::filesystem::path& path, const std::uint32_t* picture,
                       std::string& error) {
    const std::vector<std::uint8_t> bmp =
        platform::encodeBmp(picture, PictureGeometry::kWidth, PictureGeometry::kHeight);
    if (!platform::writeFileBytes(path, bmp.data(), bmp.size())) {
        error = "cannot write the file";
        return false;
    }
    return true;
}

}  // namespace lumavox
