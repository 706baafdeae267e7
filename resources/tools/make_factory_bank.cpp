// make_factory_bank: writes the factory bank, a VST bank file (.fxb) whose
// opaque chunk is the instrument's bank-form state chunk, from the programs
// table (factory-programs.txt) and the four pictures it names.
//   make_factory_bank PROGRAMS_TXT PICTURE_DIR OUTPUT_FXB
#include <stb/stb_image.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "instrument/ParameterTable.h"
#include "instrument/StateChunk.h"

namespace {

struct Program {
    std::string name;
    std::string picturePath;
    float values[synth::kNumHostParameters] = {};
    int valuesSeen = 0;
    std::vector<std::uint32_t> picture;
};

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "make_factory_bank: %s\n", message.c_str());
    std::exit(1);
}

int parameterIndex(const std::string& name) {
    for (int i = 0; i < synth::kNumHostParameters; ++i)
        if (name == lumavox::kParameterTable[i].name) return i;
    return -1;
}

std::vector<Program> readPrograms(const std::string& path, const std::string& pictureDir) {
    std::ifstream in(path);
    if (!in) fail("cannot read " + path);
    std::vector<Program> programs;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t space = line.find(' ');
        const std::string word = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        const std::string where = path + ":" + std::to_string(number);
        if (word == "program") {
            programs.push_back({});
            programs.back().name = rest;
            continue;
        }
        if (programs.empty()) fail(where + ": a value before the first program");
        if (word == "picture") {
            programs.back().picturePath = pictureDir + "/" + rest;
            continue;
        }
        const int index = parameterIndex(word);
        const auto value = lumavox::parseValue(rest);
        if (index < 0 || !value) fail(where + ": not a parameter and its value: " + line);
        programs.back().values[index] = *value;
        ++programs.back().valuesSeen;
    }
    if (programs.size() != synth::kNumPrograms) fail(path + ": there must be four programs");
    for (const Program& p : programs)
        if (p.valuesSeen != synth::kNumHostParameters)
            fail(path + ": program " + p.name + " needs all 27 values");
    return programs;
}

std::vector<std::uint32_t> readPicture(const std::string& path) {
    int width = 0, height = 0, channels = 0;
    unsigned char* rgb = stbi_load(path.c_str(), &width, &height, &channels, 3);
    if (!rgb) fail("cannot read " + path + ": " + stbi_failure_reason());
    if (width != 512 || height != 512) fail(path + " is not 512 x 512");
    std::vector<std::uint32_t> pixels(512 * 512);
    for (int i = 0; i < 512 * 512; ++i)
        pixels[i] = static_cast<std::uint32_t>(rgb[3 * i]) << 16 |
                    static_cast<std::uint32_t>(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
    stbi_image_free(rgb);
    return pixels;
}

void putBigEndian(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PROGRAMS_TXT PICTURE_DIR OUTPUT_FXB\n", argv[0]);
        return 2;
    }
    std::vector<Program> programs = readPrograms(argv[1], argv[2]);
    lumavox::ProgramState states[synth::kNumPrograms];
    for (int p = 0; p < synth::kNumPrograms; ++p) {
        programs[p].picture = readPicture(programs[p].picturePath);
        states[p] = {programs[p].name, programs[p].values, programs[p].picture.data()};
    }
    // The header of a bank file with an opaque chunk; its byteSize stays 0.
    constexpr std::size_t kHeader = 160;
    std::vector<std::uint8_t> file(kHeader + lumavox::kBankChunkSize, 0);
    std::memcpy(&file[0], "CcnK", 4);
    std::memcpy(&file[8], "FBCh", 4);
    putBigEndian(file, 12, 1);            // version
    putBigEndian(file, 16, 0x4C4D5658u);  // fxID 'LMVX'
    putBigEndian(file, 20, 1);            // fxVersion
    putBigEndian(file, 24, synth::kNumPrograms);
    putBigEndian(file, 156, static_cast<std::uint32_t>(lumavox::kBankChunkSize));
    lumavox::writeBankChunk(&file[kHeader], states);

    std::ofstream out(argv[3], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    if (!out) fail(std::string("cannot write ") + argv[3]);
    return 0;
}
