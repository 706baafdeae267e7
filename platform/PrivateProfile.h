// Private profile (ini) files, with the behaviour of the Windows calls of the
// same names: sections and keys match whatever their letter case, a value
// comes without the spaces around it and without one pair of quotes around
// it, and a write keeps every other line of the file. What a value means is
// the caller's to read, the same way on every platform: Windows' own reading
// of numbers, GetPrivateProfileIntA, hands back negative numbers as they are
// and falls back to the default for an empty value.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The value of key in section; nullopt when the file, the section or the key
// is missing (or the file cannot be read).
std::optional<std::string> getPrivateProfileString(const char* section, const char* key,
                                                   const char* path);
// False when the file could not be written; nothing else is reported.
bool writePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* path);

}  // namespace platform
