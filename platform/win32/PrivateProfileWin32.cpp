#include <windows.h>

#include "platform/PrivateProfile.h"

namespace platform {

int getPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* path) {
    return static_cast<int>(GetPrivateProfileIntA(section, key, defaultValue, path));
}

bool writePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* path) {
    return WritePrivateProfileStringA(section, key, value, path) != 0;
}

}  // namespace platform
