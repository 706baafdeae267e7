// .fxp (one program) and .fxb (a bank) files: the big-endian VST 2 records,
// in their opaque-chunk forms (FPCh, FBCh) and their parameter forms (FxCk,
// FxBk). Reading is a pure function of the bytes, so it can be fuzzed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace render {

enum class PresetKind { ProgramChunk, ProgramParameters, BankChunk, BankParameters };

struct PresetProgram {
    std::string name;
    std::vector<float> parameters;
};

struct PresetFile {
    PresetKind kind = PresetKind::ProgramChunk;
    std::int32_t formatVersion = 1;
    std::int32_t pluginId = 0;
    std::int32_t pluginVersion = 0;
    std::int32_t count = 0;               // parameters of a program, programs of a bank
    std::int32_t currentProgram = -1;     // banks of format version 2 only
    std::vector<std::uint8_t> chunk;      // the chunk forms
    std::vector<PresetProgram> programs;  // the program's name (and values), or the bank's
};

bool isBank(PresetKind kind);
std::string fourCCText(std::int32_t id);

// Throws RenderError naming the file (name) and the reason, including a file
// made for a plug-in whose ID is not expectedPluginId.
PresetFile readPresetFile(const std::uint8_t* data, std::size_t size, const std::string& name,
                          std::int32_t expectedPluginId);

// The file of preset in format version 1, the one every host reads (a bank's
// current program is not part of it).
std::vector<std::uint8_t> writePresetFile(const PresetFile& preset);

}  // namespace render
