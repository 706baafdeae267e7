#include "tools/lumavox-render/FileIo.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/FileBytes.h"
#include "tools/lumavox-render/ProcessId.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {
namespace {

namespace fs = std::filesystem;

// Larger inputs are not MIDI files, presets or pictures anyone means to use,
// and reading them whole would only exhaust memory.
constexpr std::size_t kMaxInputBytes = std::size_t{512} << 20;
// As many links as the systems themselves follow before calling it a loop.
constexpr int kMaxLinks = 40;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string reason(int error) {
    return error ? std::strerror(error) : "unknown reason";
}

// The regular file (existing or not) that path leads to through its links.
std::string linkTarget(const std::string& path) {
    fs::path at = path;
    std::error_code error;
    for (int links = 0; fs::is_symlink(at, error); ++links) {
        if (links == kMaxLinks)
            throw RenderError(path + ": cannot write (the symbolic links go round in a loop)");
        const fs::path next = fs::read_symlink(at, error);
        if (error) throw RenderError(path + ": cannot write (" + error.message() + ")");
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return at.string();
}

}  // namespace

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (fs::is_directory(status)) throw RenderError(path + ": is a folder, not a file");
    if (!fs::exists(status)) throw RenderError(path + ": cannot open (" + reason(ENOENT) + ")");
    if (fs::is_regular_file(status) && fs::file_size(path, error) > kMaxInputBytes)
        throw RenderError(path + ": larger than " + std::to_string(kMaxInputBytes >> 20) +
                          " MB, not a file for this tool");
    std::vector<std::uint8_t> bytes;
    errno = 0;
    if (!platform::readFileBytes(path, bytes, kMaxInputBytes)) {
        const int why = errno;
        throw RenderError(path + ": cannot open (" + reason(why) + ")");
    }
    return bytes;
}

std::string lowerCaseExtension(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

PendingFile::PendingFile(std::string path)
    : path_(std::move(path)),
      target_(linkTarget(path_)),
      temporary_(target_ + ".tmp-" + processIdText()) {}

PendingFile::~PendingFile() {
    if (!committed_) std::remove(temporary_.c_str());
}

void PendingFile::write(const std::vector<std::uint8_t>& bytes) const {
    File file(std::fopen(temporary_.c_str(), "wb"));
    if (!file) throw RenderError(path_ + ": cannot write (" + reason(errno) + ")");
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fflush(file.get()) != 0)
        throw RenderError(path_ + ": cannot write (" + reason(errno) + ")");
}

void PendingFile::commit() {
    std::error_code error;
    fs::rename(temporary_, target_, error);
    if (error) throw RenderError(path_ + ": cannot write (" + error.message() + ")");
    committed_ = true;
}

}  // namespace render
