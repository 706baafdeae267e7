// The Windows common file dialogs, by their wide-character functions, so
// that every file name the user can pick reaches the file functions whole.
#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <string>

#include "platform/FileDialog.h"

namespace platform::detail {
namespace {

constexpr DWORD kPathCharacters = 260;

std::wstring widen(const std::string& text) {
    if (text.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

}  // namespace

std::optional<std::filesystem::path> askSystemForFile(const FileDialogRequest& request) {
    // label, NUL, patterns, NUL, ..., and a NUL to end the list.
    std::wstring filters;
    for (const FileFilter& f : request.filters) {
        filters += widen(f.label);
        filters.push_back(L'\0');
        filters += widen(f.patterns);
        filters.push_back(L'\0');
    }
    filters.push_back(L'\0');
    const std::wstring title = widen(request.title);
    const std::wstring extension = widen(request.defaultExtension);
    wchar_t file[kPathCharacters] = {};  // empty: no name is proposed
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = nullptr;
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = kPathCharacters;
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    BOOL chosen;
    if (request.kind == FileDialogRequest::Kind::Save) {
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
        chosen = GetSaveFileNameW(&dialog);
    } else {
        dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        chosen = GetOpenFileNameW(&dialog);
    }
    if (!chosen || !file[0]) return std::nullopt;
    return std::filesystem::path(std::wstring(file));
}

}  // namespace platform::detail
