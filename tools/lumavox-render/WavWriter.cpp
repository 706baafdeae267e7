// RIFF WAVE: 16- and 24-bit PCM, or 32-bit IEEE float with the fact chunk
// that non-PCM WAVE files carry. The sizes are written when the file closes.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/lumavox-render/AudioFileWriter.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {
namespace {

class WavFileWriter : public AudioFileWriter {
  public:
    explicit WavFileWriter(const AudioFileSpec& spec) : spec_(spec) {
        bytesPerSample_ = spec.format == SampleFormat::Pcm16   ? 2
                          : spec.format == SampleFormat::Pcm24 ? 3
                                                               : 4;
        file_ = std::fopen(spec.path.c_str(), "wb");
        if (!file_) fail();
        writeHeader(0);
    }
    ~WavFileWriter() override {
        if (file_) std::fclose(file_);
    }

    void write(const float* interleaved, long frames) override {
        const std::size_t count = static_cast<std::size_t>(frames) * spec_.channels;
        buffer_.resize(count * bytesPerSample_);
        std::uint8_t* out = buffer_.data();
        for (std::size_t i = 0; i < count; ++i) {
            const float x = interleaved[i];
            if (spec_.format == SampleFormat::Float32) {
                std::uint32_t bits;
                std::memcpy(&bits, &x, 4);
                out = little(out, bits, 4);
            } else {
                const double full = spec_.format == SampleFormat::Pcm16 ? 32767.0 : 8388607.0;
                const double clipped = x > 1.f ? 1.0 : x < -1.f ? -1.0 : static_cast<double>(x);
                const auto v = static_cast<std::int32_t>(std::lround(clipped * full));
                out = little(out, static_cast<std::uint32_t>(v), bytesPerSample_);
            }
        }
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) fail();
        frames_ += static_cast<std::uint64_t>(frames);
    }

    void close() override {
        const std::uint64_t dataBytes = frames_ * spec_.channels * bytesPerSample_;
        if (dataBytes > 0xFFFFFFFFull - 64)
            throw RenderError(spec_.displayName + ": too long for a WAV file (over 4 GB)");
        if (dataBytes & 1) std::fputc(0, file_);  // chunks are padded to even sizes
        if (std::fseek(file_, 0, SEEK_SET) != 0) fail();
        writeHeader(static_cast<std::uint32_t>(dataBytes));
        const int status = std::fclose(file_);
        file_ = nullptr;
        if (status != 0) fail();
    }

  private:
    static std::uint8_t* little(std::uint8_t* out, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            *out++ = static_cast<std::uint8_t>(v >> (8 * i));
        return out;
    }

    void writeHeader(std::uint32_t dataBytes) {
        const bool isFloat = spec_.format == SampleFormat::Float32;
        const auto channels = static_cast<std::uint32_t>(spec_.channels);
        const std::uint32_t blockAlign = channels * bytesPerSample_;
        const std::uint32_t fmtBytes = isFloat ? 18 : 16;
        const std::uint32_t factBytes = isFloat ? 12 : 0;
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
        number(isFloat ? 3 : 1, 2);  // IEEE float or PCM
        number(channels, 2);
        number(static_cast<std::uint32_t>(spec_.sampleRate), 4);
        number(static_cast<std::uint32_t>(spec_.sampleRate) * blockAlign, 4);
        number(blockAlign, 2);
        number(static_cast<std::uint32_t>(bytesPerSample_ * 8), 2);
        if (isFloat) {
            number(0, 2);  // no extension
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
    int bytesPerSample_ = 4;
    std::uint64_t frames_ = 0;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace

std::unique_ptr<AudioFileWriter> openWavFile(const AudioFileSpec& spec) {
    return std::make_unique<WavFileWriter>(spec);
}

}  // namespace render
