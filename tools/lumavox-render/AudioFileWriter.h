// The audio file the render goes to, behind one small interface: WAV through
// a writer of our own on both builds, FLAC and Ogg Vorbis through libsndfile
// on Linux (Debian has no libsndfile for the cross compilers). Integer
// samples are dithered one way everywhere (TpdfDither).
#pragma once

#include <memory>
#include <string>

namespace render {

enum class AudioContainer { Wav, Flac, Ogg };
enum class SampleFormat { Float32, Pcm16, Pcm24 };

struct AudioFileSpec {
    std::string path;         // where to write (the temporary file)
    std::string displayName;  // what to call it in messages
    AudioContainer container = AudioContainer::Wav;
    SampleFormat format = SampleFormat::Float32;
    int channels = 2;
    int sampleRate = 44100;
};

class AudioFileWriter {
  public:
    virtual ~AudioFileWriter() = default;
    // frames of interleaved samples, nominally within [-1, 1]; beyond it
    // integer formats clip.
    virtual void write(const float* interleaved, long frames) = 0;
    // Completes the file (sizes, headers); throws RenderError on failure.
    virtual void close() = 0;
};

// The container named by path's extension (.wav, .flac, .ogg, any case);
// throws RenderError for another one, or one this build cannot write.
AudioContainer audioContainerFor(const std::string& path);
const char* audioContainerName(AudioContainer container);

// The backend of this build. Throws RenderError when the file cannot be made.
std::unique_ptr<AudioFileWriter> openAudioFile(const AudioFileSpec& spec);
bool canWrite(AudioContainer container);

// The WAV writer of our own, which both builds use.
std::unique_ptr<AudioFileWriter> openWavFile(const AudioFileSpec& spec);

}  // namespace render
