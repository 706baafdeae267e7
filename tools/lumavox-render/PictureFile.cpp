#include "tools/lumavox-render/PictureFile.h"

#include <cstring>

#include "instrument/ImageGeometry.h"
#include "instrument/PictureFiles.h"
#include "platform/ImageCodec.h"
#include "tools/lumavox-render/FileIo.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {
namespace {

constexpr int kWidth = lumavox::PictureGeometry::kWidth;
constexpr int kHeight = lumavox::PictureGeometry::kHeight;

// The codec's own reasons are its library's words; the file's first bytes
// say enough to tell a damaged image from a file that is no image at all.
std::string whyNotDecoded(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return "the file is empty";
    const auto starts = [&](const char* magic, std::size_t length) {
        return bytes.size() >= length && std::memcmp(bytes.data(), magic, length) == 0;
    };
    const char* kind = starts("\x89PNG", 4)        ? "PNG"
                       : starts("BM", 2)           ? "BMP"
                       : starts("\xFF\xD8\xFF", 3) ? "JPEG"
                       : starts("GIF8", 4)         ? "GIF"
                                                   : nullptr;
    if (!kind) return "not an image this tool reads (png, bmp, jpg, gif, tga, psd or pnm)";
    if (platform::lastImageError() == "the image is too large")
        return std::string("a ") + kind + " image too large to read";
    return std::string("a ") + kind + " image, but damaged or cut short";
}

std::uint32_t overBlack(std::uint32_t argb) {
    const std::uint32_t alpha = argb >> 24;
    if (alpha == 255) return argb & 0xFFFFFF;
    std::uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        const std::uint32_t c = (argb >> shift) & 0xFF;
        out |= ((c * alpha + 127) / 255) << shift;
    }
    return out;
}

}  // namespace

std::vector<std::uint32_t> readPictureFile(const std::string& path, PictureImport import) {
    const std::vector<std::uint8_t> bytes = readWholeFile(path);
    platform::Image image;
    if (!platform::decodeImage(bytes.data(), bytes.size(), image))
        throw RenderError(path + ": " + whyNotDecoded(bytes));
    std::vector<std::uint32_t> picture(static_cast<std::size_t>(kWidth) * kHeight);
    if (import == PictureImport::PixelForPixel) {
        if (image.width != kWidth || image.height != kHeight)
            throw RenderError(path + ": the picture is " + std::to_string(image.width) + " x " +
                              std::to_string(image.height) +
                              "; --picture plays 512 x 512 pixel for pixel (--image scales any "
                              "size)");
        for (std::size_t i = 0; i < picture.size(); ++i)
            picture[i] = overBlack(image.pixels[i]);
        return picture;
    }
    lumavox::scaleImageToPicture(image, picture.data());
    return picture;
}

void checkPictureFileName(const std::string& path) {
    const std::string extension = lowerCaseExtension(path);
    if (extension != ".png" && extension != ".bmp")
        throw RenderError(path + ": a picture is saved as .png or .bmp, not '" + extension + "'");
}

std::vector<std::uint8_t> encodePictureFile(const std::string& path,
                                            const std::vector<std::uint32_t>& picture) {
    checkPictureFileName(path);
    return lowerCaseExtension(path) == ".png"
               ? platform::encodePng(picture.data(), kWidth, kHeight)
               : platform::encodeBmp(picture.data(), kWidth, kHeight);
}

}  // namespace render
