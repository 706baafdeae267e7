// The Windows build's audio files: WAV only, written by our own writer and
// read by the plug-in's WAV reader.
#include "tools/lumavox-render/AudioFileWriter.h"
#include "tools/lumavox-render/RecordingFile.h"

namespace render {

bool canWrite(AudioContainer container) {
    return container == AudioContainer::Wav;
}

std::unique_ptr<AudioFileWriter> openAudioFile(const AudioFileSpec& spec) {
    return openWavFile(spec);
}

std::unique_ptr<RecordingFile> openOtherRecording(std::vector<std::uint8_t>,
                                                  const std::string& path) {
    throw unreadableRecording(
        path, "this build reads WAV files only; FLAC and Ogg Vorbis need the Linux build");
}

}  // namespace render
