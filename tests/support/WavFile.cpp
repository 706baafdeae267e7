#include "tests/support/WavFile.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace testsupport {
namespace {

constexpr std::size_t kHeaderBytes = 44;

void put(std::vector<char>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint32_t get(const std::vector<char>& in, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
    return v;
}

}  // namespace

bool writeFloatWav(const std::string& path, const StereoSignal& signal) {
    const auto frames = static_cast<std::uint32_t>(signal.left.size());
    const auto rate = static_cast<std::uint32_t>(signal.sampleRate);
    std::vector<char> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put(out, 36 + frames * 8, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(out, 16, 4);
    put(out, 3, 2);  // IEEE float
    put(out, 2, 2);
    put(out, rate, 4);
    put(out, rate * 8, 4);
    put(out, 8, 2);
    put(out, 32, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put(out, frames * 8, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const float frame[2] = {signal.left[i], i < signal.right.size() ? signal.right[i] : 0.f};
        std::uint32_t bits[2];
        std::memcpy(bits, frame, sizeof bits);
        put(out, bits[0], 4);
        put(out, bits[1], 4);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

std::optional<StereoSignal> readFloatWav(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    const std::vector<char> in((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    if (in.size() < kHeaderBytes || std::memcmp(in.data(), "RIFF", 4) != 0 ||
        std::memcmp(in.data() + 8, "WAVEfmt ", 8) != 0 || get(in, 20, 2) != 3 ||
        get(in, 22, 2) != 2 || get(in, 34, 2) != 32 || std::memcmp(in.data() + 36, "data", 4) != 0)
        return std::nullopt;
    const std::size_t frames = get(in, 40, 4) / 8;
    if (in.size() < kHeaderBytes + frames * 8) return std::nullopt;
    StereoSignal signal;
    signal.sampleRate = static_cast<int>(get(in, 24, 4));
    signal.left.resize(frames);
    signal.right.resize(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const std::uint32_t bits[2] = {get(in, kHeaderBytes + 8 * i, 4),
                                       get(in, kHeaderBytes + 8 * i + 4, 4)};
        std::memcpy(&signal.left[i], &bits[0], 4);
        std::memcpy(&signal.right[i], &bits[1], 4);
    }
    return signal;
}

}  // namespace testsupport
