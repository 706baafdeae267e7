#include "editor/PictureCommands.h"

#include <algorithm>
#include <string>
#include <vector>

#include "instrument/PictureFiles.h"
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

}  // namespace

void loadPicture(audio::MoSpectrogram& spectrogram) {
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Kind::Open;
    request.title = "Load a picture";
    request.filters = {{"*.bmp;*.png;*.jpg;*.jpeg;*.gif", "*.bmp;*.png;*.jpg;*.jpeg;*.gif"},
                       {"*.*", "*.*"}};
    const std::optional<std::filesystem::path> path = platform::askForFile(request);
    // Decoded before the picture is touched: a file that is no image must
    // not turn the user's painting black.
    std::vector<std::uint32_t> imported;
    std::string error;
    if (path) {
        imported.resize(audio::kPicturePixels);
        if (!lumavox::importPictureFile(*path, imported.data(), error)) imported.clear();
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
