#include "tools/lumavox-render/PresetFile.h"

#include <cstring>

#include "tools/lumavox-render/ByteReader.h"

namespace render {
namespace {

constexpr std::uint32_t tag(const char (&text)[5]) {
    return (std::uint32_t{static_cast<unsigned char>(text[0])} << 24) |
           (std::uint32_t{static_cast<unsigned char>(text[1])} << 16) |
           (std::uint32_t{static_cast<unsigned char>(text[2])} << 8) |
           std::uint32_t{static_cast<unsigned char>(text[3])};
}

constexpr std::size_t kProgramNameBytes = 28;
constexpr std::size_t kBankReservedBytes = 128;

std::string readName(ByteReader& in) {
    const std::uint8_t* p = in.here();
    in.skip(kProgramNameBytes);
    std::string name;
    for (std::size_t i = 0; i < kProgramNameBytes && p[i]; ++i)
        name += static_cast<char>(p[i]);
    return name;
}

std::size_t readCount(ByteReader& in, const char* what) {
    const std::int32_t count = in.i32();
    if (count < 0) in.fail(std::string("a negative number of ") + what);
    return static_cast<std::size_t>(count);
}

void checkPlugin(ByteReader& in, std::int32_t id, std::int32_t expected) {
    if (id != expected)
        in.fail("made for another plug-in (ID '" + fourCCText(id) + "', not '" +
                fourCCText(expected) + "')");
}

// One FxCk record: from the fxMagic on (after the CcnK header).
PresetProgram readParameterProgram(ByteReader& in, std::int32_t expectedPluginId) {
    in.skip(4);  // format version: the fields that follow are the same in all of them
    checkPlugin(in, in.i32(), expectedPluginId);
    in.skip(4);  // plug-in version
    const std::size_t count = readCount(in, "parameters");
    PresetProgram program;
    program.name = readName(in);
    if (count > in.remaining() / 4) in.fail("cut short");
    program.parameters.resize(count);
    for (float& value : program.parameters)
        value = in.f32();
    return program;
}

class Writer {
  public:
    void u32(std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<std::uint8_t>(v >> shift));
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f32(float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        u32(bits);
    }
    void name(const std::string& text) {
        for (std::size_t i = 0; i < kProgramNameBytes; ++i)
            bytes.push_back(i + 1 < kProgramNameBytes && i < text.size()
                                ? static_cast<std::uint8_t>(text[i])
                                : 0);
    }
    void zeros(std::size_t count) { bytes.insert(bytes.end(), count, 0); }
    void raw(const std::vector<std::uint8_t>& data) {
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    // Starts a CcnK record; finish(at) fills in its byte size.
    std::size_t begin() {
        const std::size_t at = bytes.size();
        u32(tag("CcnK"));
        u32(0);
        return at;
    }
    void finish(std::size_t at) {
        const auto size = static_cast<std::uint32_t>(bytes.size() - at - 8);
        for (int i = 0; i < 4; ++i)
            bytes[at + 4 + i] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
    }
    std::vector<std::uint8_t> bytes;
};

void writeParameterProgram(Writer& out, const PresetFile& preset, const PresetProgram& program) {
    const std::size_t at = out.begin();
    out.u32(tag("FxCk"));
    out.i32(1);
    out.i32(preset.pluginId);
    out.i32(preset.pluginVersion);
    out.i32(static_cast<std::int32_t>(program.parameters.size()));
    out.name(program.name);
    for (float value : program.parameters)
        out.f32(value);
    out.finish(at);
}

}  // namespace

bool isBank(PresetKind kind) {
    return kind == PresetKind::BankChunk || kind == PresetKind::BankParameters;
}

std::string fourCCText(std::int32_t id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((static_cast<std::uint32_t>(id) >> shift) & 0xFF);
        text += c >= 32 && c < 127 ? c : '?';
    }
    return text;
}

PresetFile readPresetFile(const std::uint8_t* data, std::size_t size, const std::string& name,
                          std::int32_t expectedPluginId) {
    ByteReader file(data, size, name);
    if (size < 8 || file.u32() != tag("CcnK"))
        file.fail("not a VST preset or bank (it does not start with CcnK)");
    const std::uint32_t byteSize = file.u32();
    if (byteSize > file.remaining())
        file.fail("cut short (" + std::to_string(byteSize + std::uint64_t{8}) +
                  " bytes declared, " + std::to_string(size) + " present)");
    ByteReader in = file.sub(byteSize, name);

    PresetFile preset;
    const std::uint32_t magic = in.u32();
    if (magic == tag("FxCk"))
        preset.kind = PresetKind::ProgramParameters;
    else if (magic == tag("FPCh"))
        preset.kind = PresetKind::ProgramChunk;
    else if (magic == tag("FxBk"))
        preset.kind = PresetKind::BankParameters;
    else if (magic == tag("FBCh"))
        preset.kind = PresetKind::BankChunk;
    else
        in.fail("unknown kind of preset '" + fourCCText(static_cast<std::int32_t>(magic)) +
                "' (expected FxCk, FPCh, FxBk or FBCh)");

    if (preset.kind == PresetKind::ProgramParameters) {
        ByteReader fields = in;
        preset.formatVersion = fields.i32();
        preset.pluginId = fields.i32();
        preset.pluginVersion = fields.i32();
        preset.programs.push_back(readParameterProgram(in, expectedPluginId));
        preset.count = static_cast<std::int32_t>(preset.programs[0].parameters.size());
        return preset;
    }

    preset.formatVersion = in.i32();
    if (preset.formatVersion < 1 || preset.formatVersion > 2)
        in.fail("format version " + std::to_string(preset.formatVersion) +
                " is not one this tool knows (1 or 2)");
    preset.pluginId = in.i32();
    checkPlugin(in, preset.pluginId, expectedPluginId);
    preset.pluginVersion = in.i32();
    preset.count = static_cast<std::int32_t>(
        readCount(in, preset.kind == PresetKind::ProgramChunk ? "parameters" : "programs"));

    if (preset.kind == PresetKind::ProgramChunk) {
        preset.programs.push_back({readName(in), {}});
    } else {
        ByteReader reserved = in.sub(kBankReservedBytes, name);
        if (preset.formatVersion == 2) preset.currentProgram = reserved.i32();
    }

    if (preset.kind == PresetKind::BankParameters) {
        for (std::int32_t p = 0; p < preset.count; ++p) {
            const std::string what = name + ", program " + std::to_string(p + 1);
            if (in.remaining() < 8 || in.u32() != tag("CcnK"))
                in.fail("program " + std::to_string(p + 1) + " is missing or not a CcnK record");
            ByteReader record = in.sub(in.u32(), what);
            if (record.u32() != tag("FxCk")) record.fail("not a parameter program (FxCk)");
            preset.programs.push_back(readParameterProgram(record, expectedPluginId));
        }
        return preset;
    }

    const std::size_t chunkSize = readCount(in, "chunk bytes");
    in.need(chunkSize);
    preset.chunk.assign(in.here(), in.here() + chunkSize);
    return preset;
}

std::vector<std::uint8_t> writePresetFile(const PresetFile& preset) {
    Writer out;
    if (preset.kind == PresetKind::ProgramParameters) {
        writeParameterProgram(out, preset, preset.programs.at(0));
        return out.bytes;
    }
    const std::size_t at = out.begin();
    switch (preset.kind) {
        case PresetKind::ProgramChunk:
            out.u32(tag("FPCh"));
            break;
        case PresetKind::BankChunk:
            out.u32(tag("FBCh"));
            break;
        default:
            out.u32(tag("FxBk"));
            break;
    }
    out.i32(1);
    out.i32(preset.pluginId);
    out.i32(preset.pluginVersion);
    out.i32(preset.kind == PresetKind::BankParameters
                ? static_cast<std::int32_t>(preset.programs.size())
                : preset.count);
    if (preset.kind == PresetKind::ProgramChunk) {
        out.name(preset.programs.empty() ? std::string() : preset.programs[0].name);
    } else {
        out.zeros(kBankReservedBytes);
    }
    if (preset.kind == PresetKind::BankParameters) {
        for (const PresetProgram& program : preset.programs)
            writeParameterProgram(out, preset, program);
    } else {
        out.i32(static_cast<std::int32_t>(preset.chunk.size()));
        out.raw(preset.chunk);
    }
    out.finish(at);
    return out.bytes;
}

}  // namespace render
