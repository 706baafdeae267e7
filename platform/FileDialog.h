// The system's file choosers, for the editor's Load and Save: on Windows the
// common dialogs (GetOpenFileNameW, GetSaveFileNameW), on Linux the
// desktop's own chooser through zenity or kdialog, whichever is installed.
// Paths come back as native paths (wide on Windows) and go on to the file
// functions as they are. Tests answer the dialogs through a hook.
//
// Threads: the editor's; the dialog is modal and blocks until answered.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct FileFilter {
    std::string label;     // what the chooser shows
    std::string patterns;  // "*.bmp;*.png"
};

struct FileDialogRequest {
    enum class Kind { Open, Save } kind = Kind::Open;
    std::string title;
    std::vector<FileFilter> filters;  // the first is selected
    // Save: added when the user types a name without one ("bmp"); the
    // chooser asks before an existing file is replaced.
    std::string defaultExtension;
};

class FileDialogHook {
  public:
    virtual ~FileDialogHook() = default;
    virtual std::optional<std::filesystem::path> ask(const FileDialogRequest& request) = 0;
};

// The chosen file, or nothing when the user cancelled (or no chooser could
// be shown: the user is then told which package to install).
std::optional<std::filesystem::path> askForFile(const FileDialogRequest& request);

// Process-wide; null restores the system's choosers.
void setFileDialogHook(FileDialogHook* hook);

namespace detail {
std::optional<std::filesystem::path> askSystemForFile(const FileDialogRequest& request);
}

}  // namespace platform
