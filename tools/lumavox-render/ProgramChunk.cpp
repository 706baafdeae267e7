#include "tools/lumavox-render/ProgramChunk.h"

#include <cstring>

#include "instrument/ImageGeometry.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {
namespace {

constexpr std::size_t kPictureBytes =
    std::size_t{lumavox::PictureGeometry::kWidth} * lumavox::PictureGeometry::kHeight * 3;

// Offset of the picture block: the byte after the string that ends the text
// section, "Spctr=" (an empty string ends it too, as the instrument reads it).
std::size_t pictureOffset(const std::vector<std::uint8_t>& chunk) {
    std::size_t at = 4;
    while (at < chunk.size()) {
        const void* nul = std::memchr(chunk.data() + at, 0, chunk.size() - at);
        if (!nul) break;
        const std::size_t end = static_cast<const std::uint8_t*>(nul) - chunk.data();
        const std::size_t length = end - at;
        if (length == 0 || (length == 6 && std::memcmp(chunk.data() + at, "Spctr=", 6) == 0))
            return end + 1;
        at = end + 1;
    }
    throw RenderError("the plug-in's program chunk has no picture (no \"Spctr=\" in it)");
}

}  // namespace

void replaceChunkPicture(std::vector<std::uint8_t>& chunk, std::int32_t pluginId,
                         const std::uint32_t* picture) {
    if (chunk.empty()) throw RenderError("the plug-in gave no program chunk");
    const auto id = static_cast<std::uint32_t>(pluginId);
    const std::uint8_t idBytes[4] = {
        static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8),
        static_cast<std::uint8_t>(id >> 16), static_cast<std::uint8_t>(id >> 24)};
    if (chunk.size() < 4 || std::memcmp(chunk.data(), idBytes, 4) != 0)
        throw RenderError("the plug-in's program chunk does not start with its ID");
    const std::size_t at = pictureOffset(chunk);
    if (chunk.size() - at < kPictureBytes)
        throw RenderError("the plug-in's program chunk has no room for a whole picture");
    std::uint8_t* out = chunk.data() + at;
    for (std::size_t i = 0; i < kPictureBytes / 3; ++i) {
        out[i * 3] = static_cast<std::uint8_t>(picture[i]);
        out[i * 3 + 1] = static_cast<std::uint8_t>(picture[i] >> 8);
        out[i * 3 + 2] = static_cast<std::uint8_t>(picture[i] >> 16);
    }
}

}  // namespace render
