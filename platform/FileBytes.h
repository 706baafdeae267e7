// Whole files in and out, by native paths (wide characters on Windows, so
// that any file name the user picks can be opened).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace platform {

// False when the file cannot be read or is larger than maxBytes.
bool readFileBytes(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes,
                   std::size_t maxBytes);

// Writes a temporary file beside path and renames it over path, so that a
// failed write never leaves a half-written file or destroys the old one.
bool writeFileBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size);

}  // namespace platform
