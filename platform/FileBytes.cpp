#include "platform/FileBytes.h"

#include <cstdio>
#include <memory>
#include <string>
#include <system_error>

namespace platform {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Both systems' own wide or narrow open, by the path's native characters.
std::FILE* openFile(const std::filesystem::path& path, bool write) {
#if defined(_WIN32)
    return _wfopen(path.c_str(), write ? L"wb" : L"rb");
#else
    return std::fopen(path.c_str(), write ? "wb" : "rb");
#endif
}

}  // namespace

bool readFileBytes(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes,
                   std::size_t maxBytes) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return false;
    File file(openFile(path, false));
    if (!file) return false;
    std::vector<std::uint8_t> read;
    std::uint8_t buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        if (read.size() + n > maxBytes) return false;
        read.insert(read.end(), buffer, buffer + n);
    }
    if (std::ferror(file.get())) return false;
    bytes.swap(read);
    return true;
}

bool writeFileBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::filesystem::path temporary = path;
    temporary += ".tmp-lumavox";
    {
        File file(openFile(temporary, true));
        if (!file) return false;
        const bool written =
            std::fwrite(data, 1, size, file.get()) == size && std::fflush(file.get()) == 0;
        if (!written) {
            file.reset();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace platform
