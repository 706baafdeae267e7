#include <windows.h>

#include "platform/PrivateProfile.h"

namespace platform {
namespace {

// What the system hands back for a missing key: no value in an ini file of
// ours starts with a control character.
constexpr char kMissing[] = "\x01";

}  // namespace

std::optional<std::string> getPrivateProfileString(const char* section, const char* key,
                                                   const char* path) {
    if (!section || !key || !path) return std::nullopt;
    // Longer values are cut, which keeps a long number a long number.
    char value[256] = {};
    GetPrivateProfileStringA(section, key, kMissing, value, sizeof value, path);
    if (std::string(value) == kMissing) return std::nullopt;
    return std::string(value);
}

bool writePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* path) {
    return WritePrivateProfileStringA(section, key, value, path) != 0;
}

}  // namespace platform
