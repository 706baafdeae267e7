// The Windows build's audio files: WAV through our own writer only.
#include "tools/lumavox-render/AudioFileWriter.h"

namespace render {

bool canWrite(AudioContainer container) {
    return container == AudioContainer::Wav;
}

std::unique_ptr<AudioFileWriter> openAudioFile(const AudioFileSpec& spec) {
    return openWavFile(spec);
}

}  // namespace render
