#include "editor/PictureCommands.h"

#include <algorithm>
#include <string>
#include <vector>

#include "instrument/PictureFiles.h"
#include "instrument/analysis/RecordingImport.h"
#include "instrument/analysis/WavReader.h"
#include "platform/FileBytes.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"

namespace editor {
namespace {

void tell(const std::string& text) {
    platform::showMessageBox(text.c_str(), "Lumavox", platform::MessageButtons::Ok);
}

std::string nameOf(const std::filesystem::path& path) {
    const std::u8string name = path.filename().u8string();
    return std::string(name.begin(), name.end());
}

// The file's content decides: a WAV recording is analysed, anything else
// goes to the image decoder. False with the reason in error.
bool importFile(lumavox::Lumavox& instrument, const std::filesystem::path& path,
                std::uint32_t* picture, std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!platform::readFileBytes(path, bytes, lumavox::kMaxImageFileBytes)) {
        error = "cannot read the file";
        return false;
    }
    if (!analysis::looksLikeWav(bytes.data(), bytes.size()))
        return lumavox::importPictureBytes(bytes.data(), bytes.size(), picture, error);
    const auto values = analysis::ProgramValues::read([&instrument](const char* name) {
        return instrument.getParameter(instrument.parameterIndex(name));
    });
    if (analysis::importRecording(bytes.data(), bytes.size(), analysis::kKeyA4, values, picture,
                                  error))
        return true;
    error = "the recording cannot be read (" + error + ")";
    return false;
}

}  // namespace

void loadPicture(lumavox::Lumavox& instrument) {
    audio::MoSpectrogram& spectrogram = instrument.spectrogram();
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Kind::Open;
    request.title = "Load a picture or a recording";
    request.filters = {{"*.bmp;*.png;*.jpg;*.jpeg;*.gif", "*.bmp;*.png;*.jpg;*.jpeg;*.gif"},
                       {"*.*", "*.*"},
                       {"*.wav", "*.wav"}};
    const std::optional<std::filesystem::path> path = platform::askForFile(request);
    // Decoded (or analysed) before the picture is touched: a file that is
    // neither must not turn the user's painting black.
    std::vector<std::uint32_t> imported;
    std::string error;
    if (path) {
        imported.resize(audio::kPicturePixels);
        if (!importFile(instrument, *path, imported.data(), error)) imported.clear();
    }
    {
        auto access = spectrogram.pictures();
        std::uint32_t* picture = access.current();
        if (!imported.empty()) std::copy(imported.begin(), imported.end(), picture);
        for (int i = 0; i < audio::kPicturePixels; ++i)
            picture[i] &= 0x00FFFFFFu;
        access.rebuild();
    }
    // Told only once the pictures are free again: the box waits for the user.
    if (path && imported.empty()) tell("Cannot load " + nameOf(*path) + ": " + error + ".");
}

void savePicture(audio::MoSpectrogram& spectrogram) {
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Kind::Save;
    request.title = "Save the picture";
    request.filters = {{"*.bmp", "*.bmp"}, {"*.*", "*.*"}};
    request.defaultExtension = "bmp";
    const std::optional<std::filesystem::path> path = platform::askForFile(request);
    if (!path) return;
    std::vector<std::uint32_t> picture(audio::kPicturePixels);
    {
        const auto reader = spectrogram.readPictures();
        std::copy_n(reader.picture(spectrogram.currentProgram()), audio::kPicturePixels,
                    picture.data());
    }
    std::string error;
    if (!lumavox::exportPictureFile(*path, picture.data(), error))
        tell("Cannot save " + nameOf(*path) + ": " + error + ".");
}

}  // namespace editor
