// The one comparison of names that ignores letter case, for parameter names,
// chunk keys and the sections and keys of ini files. Only ASCII letters fold:
// the C library's tolower follows the locale, which a host may have changed,
// and a name must match the same way in every host.
#pragma once

#include <string_view>

namespace platform {

constexpr char asciiLower(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool equalsIgnoringCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

}  // namespace platform
