// The Linux build's audio files, through libsndfile. FLAC holds integers only,
// so a float render goes to 24-bit FLAC; Vorbis has no sample format at all.
#include <sndfile.h>

#include "tools/lumavox-render/AudioFileWriter.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {
namespace {

int formatCode(const AudioFileSpec& spec) {
    const int pcm = spec.format == SampleFormat::Pcm16 ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_24;
    switch (spec.container) {
        case AudioContainer::Flac:
            return SF_FORMAT_FLAC | pcm;
        case AudioContainer::Ogg:
            return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
        default:
            return SF_FORMAT_WAV | (spec.format == SampleFormat::Float32 ? SF_FORMAT_FLOAT : pcm);
    }
}

class SndfileWriter : public AudioFileWriter {
  public:
    explicit SndfileWriter(const AudioFileSpec& spec) : spec_(spec) {
        SF_INFO info{};
        info.samplerate = spec.sampleRate;
        info.channels = spec.channels;
        info.format = formatCode(spec);
        file_ = sf_open(spec.path.c_str(), SFM_WRITE, &info);
        if (!file_)
            throw RenderError(spec.displayName + ": cannot write (" + sf_strerror(nullptr) + ")");
        // Integer formats clip at full scale instead of wrapping around.
        sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    }
    ~SndfileWriter() override {
        if (file_) sf_close(file_);
    }

    void write(const float* interleaved, long frames) override {
        if (sf_writef_float(file_, interleaved, frames) != frames)
            throw RenderError(spec_.displayName + ": cannot write (" + sf_strerror(file_) + ")");
    }

    void close() override {
        const int status = sf_close(file_);
        file_ = nullptr;
        if (status != 0)
            throw RenderError(spec_.displayName + ": cannot write (" + sf_error_number(status) +
                              ")");
    }

  private:
    AudioFileSpec spec_;
    SNDFILE* file_ = nullptr;
};

}  // namespace

bool canWrite(AudioContainer) {
    return true;
}

std::unique_ptr<AudioFileWriter> openAudioFile(const AudioFileSpec& spec) {
    return std::make_unique<SndfileWriter>(spec);
}

}  // namespace render
