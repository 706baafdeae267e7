// The state chunk reader on whatever a host might hand over, fast: a target
// of plain program records and pictures in place of the instrument. The
// first byte picks the form (odd: program, even: bank) and the current
// program; the rest is the chunk, with its true size.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "instrument/ParameterTable.h"
#include "instrument/StateChunk.h"
#include "platform/NameCompare.h"

namespace {

class RecordingTarget : public lumavox::ChunkTarget {
  public:
    int parameterIndex(std::string_view name) const override {
        for (int i = 0; i < lumavox::kParameterTableSize; ++i)
            if (platform::equalsIgnoringCase(name, lumavox::kParameterTable[i].name)) return i;
        return -1;
    }
    void unknownKey(std::string_view key) override { unknown += key.size(); }
    void setName(int program, std::string_view name) override {
        if (program < 0 || program > 3 || name.size() > 23) __builtin_trap();
        names[program].assign(name.begin(), name.end());
    }
    void setValue(int program, int index, float value) override {
        if (program < 0 || program > 3 || index < 0 || index > 26) __builtin_trap();
        values[program][index] = value;
    }
    std::uint32_t* picture(int program) override {
        if (program < 0 || program > 3) __builtin_trap();
        return pictures.data() + static_cast<std::size_t>(program) * 512 * 512;
    }

    std::vector<char> names[4];
    float values[4][27] = {};
    std::size_t unknown = 0;
    std::vector<std::uint32_t> pictures = std::vector<std::uint32_t>(4 * 512 * 512);
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::vector<std::uint8_t> chunk(data + 1, data + size);  // exactly the chunk's bytes
    static RecordingTarget target;
    lumavox::readChunk(chunk.empty() ? nullptr : chunk.data(), chunk.size(), data[0] & 1,
                       (data[0] >> 1) & 3, target);
    return 0;
}
