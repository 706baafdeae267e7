#include "tools/lumavox-render/AudioFileWriter.h"
#include "tools/lumavox-render/FileIo.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {

AudioContainer audioContainerFor(const std::string& path) {
    const std::string extension = lowerCaseExtension(path);
    AudioContainer container;
    if (extension == ".wav")
        container = AudioContainer::Wav;
    else if (extension == ".flac")
        container = AudioContainer::Flac;
    else if (extension == ".ogg")
        container = AudioContainer::Ogg;
    else
        throw RenderError(path + ": unknown audio file type '" + extension +
                          "' (use .wav, .flac or .ogg)");
    if (!canWrite(container))
        throw RenderError(path + ": this build writes WAV files only (" +
                          audioContainerName(container) + " needs the Linux build)");
    return container;
}

const char* audioContainerName(AudioContainer container) {
    switch (container) {
        case AudioContainer::Flac:
            return "FLAC";
        case AudioContainer::Ogg:
            return "Ogg Vorbis";
        default:
            return "WAV";
    }
}

}  // namespace render
