#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/render/ErrorText.h"
#include "tools/lumavox-render/PresetFile.h"

namespace render {
namespace {

constexpr std::int32_t kLumavox = 0x4C4D5658;  // 'LMVX'

std::uint32_t wordAt(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
           (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

std::string textAt(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4);
}

PresetFile read(const std::vector<std::uint8_t>& bytes, std::int32_t id = kLumavox) {
    return readPresetFile(bytes.data(), bytes.size(), "x.fxb", id);
}

std::string errorOf(const std::vector<std::uint8_t>& bytes) {
    return errorText([&] { read(bytes); });
}

PresetFile chunkProgram() {
    PresetFile p;
    p.kind = PresetKind::ProgramChunk;
    p.pluginId = kLumavox;
    p.pluginVersion = 1000;
    p.count = 27;
    p.programs = {{"Hello World!", {}}};
    p.chunk = {'X', 'V', 'M', 'L', 0, 1, 2, 0xFF};
    return p;
}

PresetFile chunkBank() {
    PresetFile b = chunkProgram();
    b.kind = PresetKind::BankChunk;
    b.count = 4;
    b.programs.clear();
    b.chunk.assign(3000, 0x5A);
    return b;
}

TEST(PresetFile, ChunkProgramHasTheStandardLayoutAndReadsBack) {
    const std::vector<std::uint8_t> bytes = writePresetFile(chunkProgram());
    ASSERT_EQ(bytes.size(), 60u + 8u);
    EXPECT_EQ(textAt(bytes, 0), "CcnK");
    EXPECT_EQ(wordAt(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(textAt(bytes, 8), "FPCh");
    EXPECT_EQ(wordAt(bytes, 12), 1u);
    EXPECT_EQ(textAt(bytes, 16), "LMVX");
    EXPECT_EQ(wordAt(bytes, 20), 1000u);
    EXPECT_EQ(wordAt(bytes, 24), 27u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[28])), "Hello World!");
    EXPECT_EQ(wordAt(bytes, 56), 8u);
    EXPECT_EQ(bytes[60], 'X');

    const PresetFile back = read(bytes);
    EXPECT_EQ(back.kind, PresetKind::ProgramChunk);
    EXPECT_EQ(back.pluginVersion, 1000);
    EXPECT_EQ(back.programs.at(0).name, "Hello World!");
    EXPECT_EQ(back.chunk, chunkProgram().chunk);
}

TEST(PresetFile, ChunkBankHasTheStandardLayoutAndReadsBack) {
    const std::vector<std::uint8_t> bytes = writePresetFile(chunkBank());
    ASSERT_EQ(bytes.size(), 160u + 3000u);
    EXPECT_EQ(textAt(bytes, 8), "FBCh");
    EXPECT_EQ(wordAt(bytes, 12), 1u);
    EXPECT_EQ(wordAt(bytes, 24), 4u);
    EXPECT_EQ(wordAt(bytes, 156), 3000u);
    const PresetFile back = read(bytes);
    EXPECT_EQ(back.kind, PresetKind::BankChunk);
    EXPECT_EQ(back.count, 4);
    EXPECT_EQ(back.currentProgram, -1);
    EXPECT_EQ(back.chunk, chunkBank().chunk);
}

TEST(PresetFile, ParameterFormsReadBack) {
    PresetFile program;
    program.kind = PresetKind::ProgramParameters;
    program.pluginId = kLumavox;
    program.programs = {{"Soft", {0.f, 0.25f, 1.f}}};
    const auto programBytes = writePresetFile(program);
    EXPECT_EQ(textAt(programBytes, 8), "FxCk");
    EXPECT_EQ(wordAt(programBytes, 56 + 4), 0x3E800000u) << "0.25f, big-endian";
    const PresetFile p = read(programBytes);
    EXPECT_EQ(p.kind, PresetKind::ProgramParameters);
    EXPECT_EQ(p.programs.at(0).name, "Soft");
    EXPECT_EQ(p.programs.at(0).parameters, program.programs[0].parameters);

    PresetFile bank = program;
    bank.kind = PresetKind::BankParameters;
    bank.programs = {{"One", {0.5f}}, {"Two", {0.75f}}};
    const auto bankBytes = writePresetFile(bank);
    EXPECT_EQ(textAt(bankBytes, 8), "FxBk");
    EXPECT_EQ(textAt(bankBytes, 156), "CcnK") << "the programs follow the bank header";
    const PresetFile b = read(bankBytes);
    ASSERT_EQ(b.programs.size(), 2u);
    EXPECT_EQ(b.programs[1].name, "Two");
    EXPECT_EQ(b.programs[1].parameters, std::vector<float>{0.75f});
}

TEST(PresetFile, ProgramNamesAreCutToTheirField) {
    PresetFile p = chunkProgram();
    p.programs[0].name = std::string(40, 'n');
    EXPECT_EQ(read(writePresetFile(p)).programs[0].name, std::string(27, 'n'));
}

TEST(PresetFile, Version2BankNamesItsCurrentProgram) {
    auto bytes = writePresetFile(chunkBank());
    bytes[15] = 2;
    bytes[31] = 3;  // current program, the first word after the program count
    EXPECT_EQ(read(bytes).currentProgram, 3);
}

TEST(PresetFile, AFileOfAnotherPluginIsRefused) {
    const auto bytes = writePresetFile(chunkBank());
    try {
        read(bytes, 0x41424344);
        FAIL() << "read a bank of another plug-in";
    } catch (const RenderError& e) {
        EXPECT_STREQ(e.what(), "x.fxb: made for another plug-in (ID 'LMVX', not 'ABCD')");
    }
}

TEST(PresetFile, RejectsBadMagicsAndSizesWithTheirReason) {
    const auto bank = writePresetFile(chunkBank());
    const auto edit = [&](std::size_t at, std::uint8_t value) {
        auto b = bank;
        b[at] = value;
        return b;
    };
    auto shortChunk = bank;
    shortChunk.resize(bank.size() - 1);
    shortChunk[7] = static_cast<std::uint8_t>(shortChunk[7] - 1);  // byte size still right

    PresetFile params;
    params.kind = PresetKind::BankParameters;
    params.pluginId = kLumavox;
    params.programs = {{"One", {0.5f}}, {"Two", {0.75f}}};
    auto missingProgram = writePresetFile(params);
    missingProgram[27] = 3;  // three programs declared, two present

    const struct {
        std::vector<std::uint8_t> bytes;
        const char* message;
    } cases[] = {
        {{}, "x.fxb: not a VST preset or bank (it does not start with CcnK)"},
        {edit(0, 'X'), "x.fxb: not a VST preset or bank (it does not start with CcnK)"},
        {edit(11, 'x'), "x.fxb: unknown kind of preset 'FBCx' (expected FxCk, FPCh, FxBk or FBCh)"},
        {edit(6, 0x20), "x.fxb: cut short (8280 bytes declared, 3160 present)"},
        {edit(15, 3), "x.fxb: format version 3 is not one this tool knows (1 or 2)"},
        {edit(24, 0x80), "x.fxb: a negative number of programs"},
        {edit(157, 0x10), "x.fxb: cut short"},
        {shortChunk, "x.fxb: cut short"},
        {missingProgram, "x.fxb: program 3 is missing or not a CcnK record"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorOf(c.bytes), c.message);
}

}  // namespace
}  // namespace render
