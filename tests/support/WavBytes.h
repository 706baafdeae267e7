#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace testsupport {

// The bytes of a WAV file, made by hand so that tests can also make the
// damaged ones.
struct WavSpec {
    std::uint16_t format = 1;  // 1 PCM, 3 float
    int channels = 1;
    int rate = 44100;
    int bits = 16;
    bool extensible = false;
    // An odd-sized chunk before "data", which readers must skip with its pad byte.
    bool listChunk = false;
};

inline void putU16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void putU32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    putU16(b, v & 0xFFFF);
    putU16(b, v >> 16);
}
// Byte by byte: GCC 12 takes a four-byte insert at the end of a vector just
// grown for it for an overflow when sanitizers are on.
inline void putTag(std::vector<std::uint8_t>& b, const char* tag) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(tag[i]));
}

// samples interleaved, -1..1.
inline std::vector<std::uint8_t> wavBytes(const WavSpec& spec, const std::vector<float>& samples) {
    std::vector<std::uint8_t> data;
    for (float s : samples) {
        const double v = std::fmax(-1.0, std::fmin(1.0, static_cast<double>(s)));
        if (spec.format == 3) {
            std::uint32_t bits;
            std::memcpy(&bits, &s, sizeof bits);
            putU32(data, bits);
        } else if (spec.bits == 16) {
            putU16(data,
                   static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 32767))));
        } else if (spec.bits == 24) {
            const auto x =
                static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(v * 8388607)));
            data.push_back(static_cast<std::uint8_t>(x));
            data.push_back(static_cast<std::uint8_t>(x >> 8));
            data.push_back(static_cast<std::uint8_t>(x >> 16));
        } else {
            putU32(data, static_cast<std::uint32_t>(
                             static_cast<std::int32_t>(std::lround(v * 2147483647.0))));
        }
    }
    std::vector<std::uint8_t> fmt;
    putU16(fmt, spec.extensible ? 0xFFFE : spec.format);
    putU16(fmt, static_cast<unsigned>(spec.channels));
    putU32(fmt, static_cast<std::uint32_t>(spec.rate));
    const int block = spec.channels * spec.bits / 8;
    putU32(fmt, static_cast<std::uint32_t>(spec.rate * block));
    putU16(fmt, static_cast<unsigned>(block));
    putU16(fmt, static_cast<unsigned>(spec.bits));
    if (spec.extensible) {
        putU16(fmt, 22);
        putU16(fmt, static_cast<unsigned>(spec.bits));
        putU32(fmt, spec.channels == 2 ? 3u : 4u);
        putU16(fmt, spec.format);
        const std::uint8_t tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                       0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        fmt.insert(fmt.end(), tail, tail + 14);
    }
    std::vector<std::uint8_t> b;
    putTag(b, "RIFF");
    putU32(b, 0);  // patched below
    putTag(b, "WAVE");
    putTag(b, "fmt ");
    putU32(b, static_cast<std::uint32_t>(fmt.size()));
    b.insert(b.end(), fmt.begin(), fmt.end());
    if (spec.listChunk) {
        putTag(b, "LIST");
        putU32(b, 5);
        b.insert(b.end(), {'I', 'N', 'F', 'O', 'x', 0});  // 5 bytes and the pad byte
    }
    putTag(b, "data");
    putU32(b, static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    const auto riff = static_cast<std::uint32_t>(b.size() - 8);
    for (int i = 0; i < 4; ++i)
        b[4 + i] = static_cast<std::uint8_t>(riff >> (8 * i));
    return b;
}

}  // namespace testsupport
