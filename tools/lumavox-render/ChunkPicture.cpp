#include "tools/lumavox-render/ChunkPicture.h"

#include <string_view>

#include "instrument/ImageGeometry.h"
#include "instrument/ParameterTable.h"
#include "instrument/StateChunk.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {
namespace {

constexpr std::size_t kPixels =
    std::size_t{lumavox::PictureGeometry::kWidth} * lumavox::PictureGeometry::kHeight;

// Collects what the reader finds; the plug-in wrote the chunk, so its keys
// are the table's names as they stand.
class Collector : public lumavox::ChunkTarget {
  public:
    explicit Collector(ProgramContents& contents) : contents_(contents) {
        contents_.values.assign(synth::kNumHostParameters, 0.f);
        contents_.picture.assign(kPixels, kUnread);
    }
    int parameterIndex(std::string_view name) const override {
        for (int i = 0; i < lumavox::kParameterTableSize; ++i)
            if (name == lumavox::kParameterTable[i].name) return i;
        return -1;
    }
    void unknownKey(std::string_view) override {}
    void setName(int, std::string_view) override {}
    void setValue(int, int index, float value) override {
        contents_.values[static_cast<std::size_t>(index)] = value;
    }
    std::uint32_t* picture(int) override { return contents_.picture.data(); }
    // The reader leaves the top byte 0, so this marks a row it never reached.
    static constexpr std::uint32_t kUnread = 0xFF000000u;

  private:
    ProgramContents& contents_;
};

}  // namespace

ProgramContents readProgramChunk(const std::vector<std::uint8_t>& chunk) {
    if (chunk.empty()) throw RenderError("the plug-in gave no program chunk");
    if (!lumavox::ChunkReader(chunk.data(), chunk.size()).hasId())
        throw RenderError("the plug-in's program chunk is not a Lumavox chunk");
    ProgramContents contents;
    Collector collector(contents);
    lumavox::readChunk(chunk.data(), chunk.size(), true, 0, collector);
    if (contents.picture.back() == Collector::kUnread)
        throw RenderError("the plug-in's program chunk holds no whole picture");
    return contents;
}

std::vector<std::uint8_t> writeProgramChunk(const ProgramContents& contents) {
    if (contents.values.size() != synth::kNumHostParameters || contents.picture.size() != kPixels)
        throw RenderError("a program needs 27 values and a 512 x 512 picture");
    std::vector<std::uint8_t> chunk(lumavox::kProgramChunkSize);
    lumavox::ProgramState state{{}, contents.values.data(), contents.picture.data()};
    chunk.resize(lumavox::writeProgramChunk(chunk.data(), state));
    return chunk;
}

}  // namespace render
