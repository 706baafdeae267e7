#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tools/lumavox-render/ProgramChunk.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {
namespace {

constexpr std::int32_t kLumavox = 0x4C4D5658;
constexpr std::size_t kChunkBytes = 786949;
constexpr std::size_t kPixels = 512 * 512;

std::vector<std::uint8_t> programChunk(const std::string& text) {
    std::vector<std::uint8_t> chunk(kChunkBytes, 0);
    const std::string start = "XVML" + text;
    std::copy(start.begin(), start.end(), chunk.begin());
    return chunk;
}

std::string errorOf(std::vector<std::uint8_t> chunk) {
    const std::vector<std::uint32_t> picture(kPixels, 0);
    try {
        replaceChunkPicture(chunk, kLumavox, picture.data());
    } catch (const RenderError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(ProgramChunk, ThePictureGoesAfterTheTextAsBlueGreenRed) {
    const std::string text =
        std::string("Name=Photo") + '\0' + "Volume=0.8" + '\0' + "Spctr=" + '\0';
    std::vector<std::uint8_t> chunk = programChunk(text);
    std::vector<std::uint32_t> picture(kPixels, 0);
    picture[0] = 0x112233;
    picture[kPixels - 1] = 0xAABBCC;
    replaceChunkPicture(chunk, kLumavox, picture.data());

    const std::size_t at = 4 + text.size();
    EXPECT_EQ(std::string(chunk.begin() + 4, chunk.begin() + static_cast<long>(at)), text);
    EXPECT_EQ(chunk[at], 0x33);
    EXPECT_EQ(chunk[at + 1], 0x22);
    EXPECT_EQ(chunk[at + 2], 0x11);
    EXPECT_EQ(chunk[at + 3 * kPixels - 3], 0xCC);
    EXPECT_EQ(chunk[at + 3 * kPixels - 1], 0xAA);
    EXPECT_EQ(chunk.size(), kChunkBytes);
    EXPECT_EQ(chunk[at + 3 * kPixels], 0) << "the padding stays";
}

TEST(ProgramChunk, SaysWhatIsWrongWithAChunkWithoutRoomForAPicture) {
    EXPECT_EQ(errorOf({}), "the plug-in gave no program chunk");
    EXPECT_EQ(errorOf({'X', 'V', 'M'}), "the plug-in's program chunk does not start with its ID");
    auto foreign = programChunk(std::string("Spctr=") + '\0');
    foreign[0] = 'Y';
    EXPECT_EQ(errorOf(foreign), "the plug-in's program chunk does not start with its ID");
    std::vector<std::uint8_t> noPicture = {'X', 'V', 'M', 'L', 'a', '=', '1'};
    EXPECT_EQ(errorOf(noPicture),
              "the plug-in's program chunk has no picture (no \"Spctr=\" in it)");
    auto cut = programChunk(std::string("Spctr=") + '\0');
    cut.resize(cut.size() / 2);
    EXPECT_EQ(errorOf(cut), "the plug-in's program chunk has no room for a whole picture");
}

}  // namespace
}  // namespace render
