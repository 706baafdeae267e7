// The desktop's file chooser on Linux, by its command-line front end: zenity
// (GNOME and most desktops) or kdialog (KDE). Without either there is no
// chooser to show; the user is told which package gives one.
#include <string>
#include <vector>

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/linux/ChildProcess.h"

namespace platform::detail {
namespace {

// "*.bmp;*.png" as the space-separated list both choosers take.
std::string spaced(const std::string& patterns) {
    std::string s = patterns;
    for (char& c : s)
        if (c == ';') c = ' ';
    return s == "*.*" ? "*" : s;
}

std::vector<std::string> zenity(const FileDialogRequest& request) {
    std::vector<std::string> args = {"zenity", "--file-selection", "--title", request.title};
    if (request.kind == FileDialogRequest::Kind::Save) {
        args.push_back("--save");
        args.push_back("--confirm-overwrite");
    }
    for (const FileFilter& f : request.filters) {
        args.push_back("--file-filter");
        args.push_back(std::string(f.label).append(" | ").append(spaced(f.patterns)));
    }
    return args;
}

std::vector<std::string> kdialog(const FileDialogRequest& request) {
    std::string filters;
    for (const FileFilter& f : request.filters) {
        if (!filters.empty()) filters.push_back('\n');
        filters.append(spaced(f.patterns)).append("|").append(f.label);
    }
    return {
        "kdialog",
        "--title",
        request.title,
        request.kind == FileDialogRequest::Kind::Save ? "--getsavefilename" : "--getopenfilename",
        ".",
        filters};
}

// A name typed without an extension gets the default one; the chooser
// asked about the name as typed, so a file of the completed name is asked about here.
std::optional<std::filesystem::path> completed(std::filesystem::path path,
                                               const FileDialogRequest& request) {
    if (request.kind != FileDialogRequest::Kind::Save || request.defaultExtension.empty() ||
        path.has_extension())
        return path;
    path += "." + request.defaultExtension;
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        const std::string text = path.filename().string() + " already exists. Replace it?";
        if (showMessageBox(text.c_str(), request.title.c_str(), MessageButtons::OkCancel) !=
            MessageAnswer::Ok)
            return std::nullopt;
    }
    return path;
}

}  // namespace

std::optional<std::filesystem::path> askSystemForFile(const FileDialogRequest& request) {
    if (haveDisplay()) {
        for (const auto& args : {zenity(request), kdialog(request)}) {
            std::string chosen;
            const int code = runProgram(args, &chosen);
            if (code < 0) continue;  // not installed: the next one
            while (!chosen.empty() && (chosen.back() == '\n' || chosen.back() == '\r'))
                chosen.pop_back();
            if (code != 0 || chosen.empty()) return std::nullopt;  // cancelled
            return completed(std::filesystem::path(chosen), request);
        }
    }
    showMessageBox(
        "Choosing a file needs the program zenity or kdialog, and neither is installed. Install "
        "one (for example: sudo apt-get install zenity) and try again.",
        request.title.c_str(), MessageButtons::Ok);
    return std::nullopt;
}

}  // namespace platform::detail
