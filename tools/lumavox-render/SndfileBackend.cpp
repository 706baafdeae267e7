// The Linux build's FLAC and Ogg Vorbis files, through libsndfile (WAV goes
// through our own writer on both builds, so that the two give the same
// bytes). FLAC holds integers only, so a float render goes to 24-bit FLAC,
// dithered as every integer output is; Vorbis takes the floats as they are.
// The file is opened here, so that a failure is told in the system's words
// for the file, not in the library's.
#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "tools/lumavox-render/AudioFileWriter.h"
#include "tools/lumavox-render/RenderError.h"
#include "tools/lumavox-render/TpdfDither.h"

namespace render {
namespace {

class SndfileWriter : public AudioFileWriter {
  public:
    explicit SndfileWriter(const AudioFileSpec& spec) : spec_(spec) {
        bits_ = spec.container == AudioContainer::Ogg ? 0
                : spec.format == SampleFormat::Pcm16  ? 16
                                                      : 24;
        SF_INFO info{};
        info.samplerate = spec.sampleRate;
        info.channels = spec.channels;
        info.format = spec.container == AudioContainer::Ogg
                          ? SF_FORMAT_OGG | SF_FORMAT_VORBIS
                          : SF_FORMAT_FLAC | (bits_ == 16 ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_24);
        descriptor_ = ::open(spec.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (descriptor_ < 0) fail(std::strerror(errno));
        file_ = sf_open_fd(descriptor_, SFM_WRITE, &info, SF_FALSE);
        if (!file_)
            fail(std::string("cannot make a ") + audioContainerName(spec.container) + " file of " +
                 std::to_string(spec.channels) + " channels at " + std::to_string(spec.sampleRate) +
                 " Hz");
    }
    ~SndfileWriter() override {
        if (file_) sf_close(file_);
        if (descriptor_ >= 0) ::close(descriptor_);
    }

    void write(const float* interleaved, long frames) override {
        errno = 0;
        if (bits_ == 0) {
            if (sf_writef_float(file_, interleaved, frames) != frames) failWrite();
            return;
        }
        // libsndfile takes integers left-justified in 32 bits.
        const std::size_t count = static_cast<std::size_t>(frames) * spec_.channels;
        samples_.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            samples_[i] =
                static_cast<int>(static_cast<std::uint32_t>(dither_.quantise(interleaved[i], bits_))
                                 << (32 - bits_));
        if (sf_writef_int(file_, samples_.data(), frames) != frames) failWrite();
    }

    void close() override {
        errno = 0;
        const int status = sf_close(file_);
        file_ = nullptr;
        const int closed = ::close(descriptor_);
        descriptor_ = -1;
        if (status != 0 || closed != 0) failWrite();
    }

  private:
    [[noreturn]] void fail(const std::string& why) const {
        throw RenderError(spec_.displayName + ": cannot write (" + why + ")");
    }
    [[noreturn]] void failWrite() const {
        fail(errno ? std::strerror(errno) : "the file could not be completed");
    }

    AudioFileSpec spec_;
    int bits_ = 24;  // 0: floats as they are
    int descriptor_ = -1;
    SNDFILE* file_ = nullptr;
    TpdfDither dither_;
    std::vector<int> samples_;
};

}  // namespace

bool canWrite(AudioContainer) {
    return true;
}

std::unique_ptr<AudioFileWriter> openAudioFile(const AudioFileSpec& spec) {
    if (spec.container == AudioContainer::Wav) return openWavFile(spec);
    return std::make_unique<SndfileWriter>(spec);
}

}  // namespace render
