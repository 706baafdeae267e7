// Private profile (ini) files, with the behaviour of the Windows calls of the
// same names: sections and keys match whatever their letter case, a value
// that is not a number or is negative reads as 0, and a write keeps every
// other line of the file.
#pragma once

namespace platform {

int getPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* path);
// False when the file could not be written; nothing else is reported.
bool writePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* path);

}  // namespace platform
