#include "tests/support/AudioDump.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace testsupport {
namespace {
void put32(std::FILE* f, std::uint32_t v) {
    std::fwrite(&v, 4, 1, f);
}
void put16(std::FILE* f, std::uint16_t v) {
    std::fwrite(&v, 2, 1, f);
}
}  // namespace

std::string dumpAudio(const std::string& name, const std::vector<float>& left,
                      const std::vector<float>& right, int sampleRate) {
    std::filesystem::create_directories("test-output");
    const std::string path = "test-output/" + name + ".wav";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return "(could not write " + path + ")";
    const auto frames = static_cast<std::uint32_t>(left.size());
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + frames * 8);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, 3);  // IEEE float
    put16(f, 2);
    put32(f, static_cast<std::uint32_t>(sampleRate));
    put32(f, static_cast<std::uint32_t>(sampleRate) * 8);
    put16(f, 8);
    put16(f, 32);
    std::fwrite("data", 1, 4, f);
    put32(f, frames * 8);
    for (std::uint32_t i = 0; i < frames; ++i) {
        std::fwrite(&left[i], 4, 1, f);
        const float r = i < right.size() ? right[i] : 0.f;
        std::fwrite(&r, 4, 1, f);
    }
    std::fclose(f);
    return std::filesystem::absolute(path).string();
}

}  // namespace testsupport
