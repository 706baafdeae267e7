#include "tools/lumavox-render/ImageFile.h"

#include <stb_image.h>

#include <climits>

#include "tools/lumavox-render/FileIo.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {

DecodedImage readImageFile(const std::string& path) {
    const std::vector<std::uint8_t> bytes = readWholeFile(path);
    if (bytes.empty()) throw RenderError(path + ": cannot decode the image (the file is empty)");
    if (bytes.size() > static_cast<std::size_t>(INT_MAX))
        throw RenderError(path + ": too large an image file");
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                            &height, &channels, 4);
    if (!pixels) {
        const char* reason = stbi_failure_reason();
        throw RenderError(path + ": cannot decode the image (" +
                          (reason ? reason : "unknown reason") + ")");
    }
    DecodedImage image;
    image.width = width;
    image.height = height;
    image.rgba.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
    stbi_image_free(pixels);
    return image;
}

}  // namespace render
