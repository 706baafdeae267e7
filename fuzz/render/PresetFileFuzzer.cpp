// Any bytes given to the preset reader either give a preset that writes out
// and reads back the same, or a RenderError; nothing else.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "tools/lumavox-render/PresetFile.h"
#include "tools/lumavox-render/RenderError.h"

namespace {

constexpr std::int32_t kLumavox = 0x4C4D5658;

bool sameValues(const render::PresetFile& a, const render::PresetFile& b) {
    if (a.kind != b.kind || a.chunk != b.chunk || a.programs.size() != b.programs.size())
        return false;
    for (std::size_t p = 0; p < a.programs.size(); ++p) {
        const auto& x = a.programs[p].parameters;
        const auto& y = b.programs[p].parameters;
        // Compared bit for bit: the file may hold NaNs.
        if (x.size() != y.size() || (!x.empty() && std::memcmp(x.data(), y.data(), x.size() * 4)))
            return false;
        // The name field holds 27 characters and a NUL when written.
        if (a.programs[p].name.substr(0, 27) != b.programs[p].name) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    render::PresetFile preset;
    try {
        preset = render::readPresetFile(data, size, "fuzz.fxb", kLumavox);
    } catch (const render::RenderError&) {
        return 0;
    }
    const auto written = render::writePresetFile(preset);
    try {
        if (!sameValues(preset,
                        render::readPresetFile(written.data(), written.size(), "again", kLumavox)))
            std::abort();
    } catch (const render::RenderError&) {
        std::abort();  // what was read must write out readably
    }
    return 0;
}
