#include "instrument/analysis/WavReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "instrument/analysis/RecordingAnalysis.h"

namespace analysis {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr std::size_t kRiffHeader = 12;
constexpr std::size_t kChunkHeader = 8;
constexpr std::size_t kPlainFormatSize = 16;
constexpr std::size_t kExtensibleFormatSize = 40;
// The sub-format GUID of the extensible form after its first two bytes
// (which hold the plain format tag): 0000-0010-8000-00AA00389B71.
constexpr std::uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t u16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct Format {
    std::uint16_t tag = 0;
    int channels = 0;
    std::uint32_t sampleRate = 0;
    int blockAlign = 0;
    int bits = 0;
};

bool readFormat(const std::uint8_t* p, std::size_t size, Format& format, std::string& error) {
    if (size < kPlainFormatSize) {
        error = "its format chunk is too short";
        return false;
    }
    format.tag = u16(p);
    format.channels = u16(p + 2);
    format.sampleRate = u32(p + 4);
    format.blockAlign = u16(p + 12);
    format.bits = u16(p + 14);
    if (format.tag == kFormatExtensible) {
        if (size < kExtensibleFormatSize || u16(p + 16) < 22) {
            error = "its extensible format chunk is too short";
            return false;
        }
        const int validBits = u16(p + 18);
        if (validBits > format.bits) {
            error = "it claims more valid bits than its samples have";
            return false;
        }
        if (std::memcmp(p + 26, kGuidTail, sizeof kGuidTail) != 0) {
            error = "its sample format is not PCM or float";
            return false;
        }
        format.tag = u16(p + 24);
    }
    return true;
}

bool checkFormat(const Format& f, std::string& error) {
    const bool pcm = f.tag == kFormatPcm && (f.bits == 16 || f.bits == 24 || f.bits == 32);
    const bool real = f.tag == kFormatFloat && f.bits == 32;
    if (!pcm && !real) {
        error = "its samples are " + std::to_string(f.bits) + "-bit " +
                (f.tag == kFormatFloat ? "float"
                 : f.tag == kFormatPcm ? "PCM"
                                       : "of format " + std::to_string(f.tag)) +
                " (16, 24 or 32-bit PCM and 32-bit float can be read)";
        return false;
    }
    error = unreadableShape(f.channels, f.sampleRate);
    if (!error.empty()) return false;
    if (f.blockAlign != f.channels * f.bits / 8) {
        error = "its frame size does not match its format";
        return false;
    }
    return true;
}

float sampleAt(const std::uint8_t* p, const Format& f) {
    switch (f.bits) {
        case 16:
            return static_cast<float>(static_cast<std::int16_t>(u16(p))) / 32768.f;
        case 24: {
            std::int32_t v = p[0] | p[1] << 8 | p[2] << 16;
            if (v & 0x800000) v -= 0x1000000;
            return static_cast<float>(v) / 8388608.f;
        }
        default:
            if (f.tag == kFormatFloat) {
                float v;
                std::memcpy(&v, p, sizeof v);
                return std::isfinite(v) ? v : 0.f;
            }
            return static_cast<float>(static_cast<double>(static_cast<std::int32_t>(u32(p))) /
                                      2147483648.0);
    }
}

}  // namespace

std::string unreadableShape(long long channels, long long sampleRate) {
    if (channels != 1 && channels != 2)
        return "it has " + std::to_string(channels) + " channels (mono and stereo can be read)";
    if (sampleRate < kMinSampleRate || sampleRate > kMaxSampleRate)
        return "its sample rate of " + std::to_string(sampleRate) + " Hz is out of range";
    return "";
}

bool looksLikeWav(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    return data && size >= kRiffHeader && std::memcmp(p, "RIFF", 4) == 0 &&
           std::memcmp(p + 8, "WAVE", 4) == 0;
}

bool readWav(const void* data, std::size_t size, WavRecording& out, std::string& error,
             double maxSeconds) {
    if (!looksLikeWav(data, size)) {
        error = "it is not a WAV file";
        return false;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    Format format;
    bool haveFormat = false;
    const std::uint8_t* samples = nullptr;
    std::size_t sampleBytes = 0;
    // The RIFF size is not trusted: many writers leave it wrong. The chunks
    // are walked over the bytes there are.
    std::size_t at = kRiffHeader;
    while (size - at >= kChunkHeader) {
        const std::uint8_t* chunk = bytes + at;
        const std::size_t length = u32(chunk + 4);
        const std::size_t room = size - at - kChunkHeader;
        // Reached only while something needed is still missing.
        if (length > room) {
            error = "it is cut short: a chunk runs past the end of the file";
            return false;
        }
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
            if (!readFormat(chunk + kChunkHeader, length, format, error)) return false;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !samples) {
            samples = chunk + kChunkHeader;
            sampleBytes = length;
        }
        if (haveFormat && samples) break;
        at += kChunkHeader + length + (length & 1);  // chunks are padded to even sizes
        if (at > size) break;
    }
    if (!haveFormat) {
        error = "it has no format chunk";
        return false;
    }
    if (!samples) {
        error = "it has no data chunk";
        return false;
    }
    if (!checkFormat(format, error)) return false;
    const std::size_t frames = sampleBytes / static_cast<std::size_t>(format.blockAlign);
    if (frames == 0) {
        error = "it holds no samples";
        return false;
    }
    const double wanted = std::ceil(maxSeconds * format.sampleRate);
    const std::size_t decoded =
        wanted < static_cast<double>(frames) ? static_cast<std::size_t>(wanted) : frames;
    const std::size_t bytesPerSample = static_cast<std::size_t>(format.bits / 8);
    WavRecording recording;
    recording.channels = format.channels;
    recording.sampleRate = static_cast<int>(format.sampleRate);
    recording.bitsPerSample = format.bits;
    recording.isFloat = format.tag == kFormatFloat;
    recording.frames = frames;
    recording.samples.resize(decoded * static_cast<std::size_t>(format.channels));
    const std::uint8_t* p = samples;
    for (float& s : recording.samples) {
        s = sampleAt(p, format);
        p += bytesPerSample;
    }
    out = std::move(recording);
    return true;
}

}  // namespace analysis
