// RIFF WAVE, the same bytes from both builds: 16-bit PCM in the plain header
// every program reads; 24-bit PCM and 32-bit IEEE float in the extensible
// header (WAVE_FORMAT_EXTENSIBLE, with the channel mask and the sub-format
// GUID) followed by the fact chunk that non-PCM formats carry. The sizes are
// written when the file closes.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/lumavox-render/AudioFileWriter.h"
#include "tools/lumavox-render/RenderError.h"
#include "tools/lumavox-render/TpdfDither.h"

namespace render {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr std::uint16_t kSubFormatPcm = 1;
constexpr std::uint16_t kSubFormatFloat = 3;
// The tail shared by the sub-format GUIDs: {0000000X-0000-0010-8000-00AA00389B71}.
constexpr std::uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint32_t speakerMask(int channels) {
    return channels == 1 ? 0x4u : channels == 2 ? 0x3u : 0u;  // centre; left and right
}

class WavFileWriter : public AudioFileWriter {
  public:
    explicit WavFileWriter(const AudioFileSpec& spec) : spec_(spec) {
        bits_ = spec.format == SampleFormat::Pcm16   ? 16
                : spec.format == SampleFormat::Pcm24 ? 24
                                                     : 32;
        file_ = std::fopen(spec.path.c_str(), "wb");
        if (!file_) fail();
        writeHeader(0);
    }
    ~WavFileWriter() override {
        if (file_) std::fclose(file_);
    }

    void write(const float* interleaved, long frames) override {
        const std::size_t count = static_cast<std::size_t>(frames) * spec_.channels;
        const int bytes = bits_ / 8;
        buffer_.resize(count * bytes);
        std::uint8_t* out = buffer_.data();
        for (std::size_t i = 0; i < count; ++i) {
            std::uint32_t v;
            if (spec_.format == SampleFormat::Float32)
                std::memcpy(&v, &interleaved[i], 4);
            else
                v = static_cast<std::uint32_t>(dither_.quantise(interleaved[i], bits_));
            for (int b = 0; b < bytes; ++b)
                *out++ = static_cast<std::uint8_t>(v >> (8 * b));
        }
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) fail();
        frames_ += static_cast<std::uint64_t>(frames);
    }

    void close() override {
        const std::uint64_t dataBytes = frames_ * spec_.channels * (bits_ / 8);
        if (dataBytes > 0xFFFFFFFFull - 128)
            throw RenderError(spec_.displayName + ": too long for a WAV file (over 4 GB)");
        if (dataBytes & 1) std::fputc(0, file_);  // chunks are padded to even sizes
        if (std::fseek(file_, 0, SEEK_SET) != 0) fail();
        writeHeader(static_cast<std::uint32_t>(dataBytes));
        const int status = std::fclose(file_);
        file_ = nullptr;
        if (status != 0) fail();
    }

  private:
    void writeHeader(std::uint32_t dataBytes) {
        const bool extensible = bits_ != 16;
        const auto channels = static_cast<std::uint32_t>(spec_.channels);
        const std::uint32_t blockAlign = channels * static_cast<std::uint32_t>(bits_ / 8);
        const std::uint32_t fmtBytes = extensible ? 40 : 16;
        const std::uint32_t factBytes = extensible ? 12 : 0;
        std::vector<std::uint8_t> h;
        const auto text = [&](const char* t) { h.insert(h.end(), t, t + 4); };
        const auto number = [&](std::uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i)
                h.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        };
        text("RIFF");
        number(4 + (8 + fmtBytes) + factBytes + 8 + dataBytes + (dataBytes & 1), 4);
        text("WAVE");
        text("fmt ");
        number(fmtBytes, 4);
        number(extensible ? kFormatExtensible : kFormatPcm, 2);
        number(channels, 2);
        number(static_cast<std::uint32_t>(spec_.sampleRate), 4);
        number(static_cast<std::uint32_t>(spec_.sampleRate) * blockAlign, 4);
        number(blockAlign, 2);
        number(static_cast<std::uint32_t>(bits_), 2);
        if (extensible) {
            number(22, 2);                                 // size of the extension
            number(static_cast<std::uint32_t>(bits_), 2);  // valid bits per sample
            number(speakerMask(spec_.channels), 4);
            number(spec_.format == SampleFormat::Float32 ? kSubFormatFloat : kSubFormatPcm, 2);
            h.insert(h.end(), kGuidTail, kGuidTail + sizeof kGuidTail);
            text("fact");
            number(4, 4);
            number(static_cast<std::uint32_t>(frames_), 4);
        }
        text("data");
        number(dataBytes, 4);
        if (std::fwrite(h.data(), 1, h.size(), file_) != h.size()) fail();
    }

    [[noreturn]] void fail() const {
        throw RenderError(spec_.displayName + ": cannot write (" + std::strerror(errno) + ")");
    }

    AudioFileSpec spec_;
    std::FILE* file_ = nullptr;
    int bits_ = 32;
    std::uint64_t frames_ = 0;
    TpdfDither dither_;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace

std::unique_ptr<AudioFileWriter> openWavFile(const AudioFileSpec& spec) {
    return std::make_unique<WavFileWriter>(spec);
}

}  // namespace render
