#include <algorithm>
#include <cctype>

#include "tools/lumavox-render/AudioFileWriter.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {

AudioContainer audioContainerFor(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of("/\\");
    std::string extension = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                                ? ""
                                : path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
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
