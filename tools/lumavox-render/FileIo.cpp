#include "tools/lumavox-render/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#if defined(_WIN32)
#include <process.h>
#define LUMAVOX_GETPID _getpid
#else
#include <unistd.h>
#define LUMAVOX_GETPID getpid
#endif

#include "tools/lumavox-render/RenderError.h"

namespace render {
namespace {

// Larger inputs are not MIDI files, presets or pictures anyone means to use,
// and reading them whole would only exhaust memory.
constexpr long kMaxInputBytes = 512L << 20;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw RenderError(path + ": is a folder, not a file");
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) throw RenderError(path + ": cannot open (" + std::strerror(errno) + ")");
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (static_cast<long>(bytes.size()) > kMaxInputBytes)
            throw RenderError(path + ": larger than " + std::to_string(kMaxInputBytes >> 20) +
                              " MB, not a file for this tool");
    }
    if (std::ferror(file.get()))
        throw RenderError(path + ": cannot read (" + std::strerror(errno) + ")");
    return bytes;
}

PendingFile::PendingFile(std::string path)
    : path_(std::move(path)),
      temporary_(path_ + ".tmp-" + std::to_string(static_cast<long>(LUMAVOX_GETPID()))) {}

PendingFile::~PendingFile() {
    if (!committed_) std::remove(temporary_.c_str());
}

void PendingFile::write(const std::vector<std::uint8_t>& bytes) const {
    File file(std::fopen(temporary_.c_str(), "wb"));
    if (!file) throw RenderError(path_ + ": cannot write (" + std::strerror(errno) + ")");
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fflush(file.get()) != 0)
        throw RenderError(path_ + ": cannot write (" + std::strerror(errno) + ")");
}

void PendingFile::commit() {
    std::error_code error;
    std::filesystem::rename(temporary_, path_, error);
    if (error) throw RenderError(path_ + ": cannot write (" + error.message() + ")");
    committed_ = true;
}

}  // namespace render
