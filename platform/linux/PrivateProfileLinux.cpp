// Our own reader and writer of ini files for Linux. The file is read whole
// (it is small; anything beyond kMaxFileBytes is not an ini file of ours and
// is neither parsed nor overwritten) and written to a temporary file that
// replaces the old one, so a crash mid-write never leaves half a file.
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/NameCompare.h"
#include "platform/PrivateProfile.h"

namespace platform {
namespace {

constexpr std::size_t kMaxFileBytes = 1 << 20;

std::string trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

// The file's lines without their line ends; nullopt when it exists but cannot
// be taken as ours (unreadable or oversized). A missing file is empty.
std::optional<std::vector<std::string>> readLines(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (access(path, F_OK) == 0) return std::nullopt;
        return std::vector<std::string>{};
    }
    std::string text;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxFileBytes) return std::nullopt;
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

bool isSectionHeader(const std::string& line, std::string* name) {
    const std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    const std::size_t close = t.find(']');
    if (close == std::string::npos) return false;
    *name = trim(t.substr(1, close - 1));
    return true;
}

// The key of a "key=value" line, if it is one.
bool splitKeyValue(const std::string& line, std::string* key, std::string* value) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    *key = trim(line.substr(0, eq));
    *value = trim(line.substr(eq + 1));
    return true;
}

struct Location {
    long sectionLine = -1;  // the section's header
    long lastLineInSection = -1;
    long keyLine = -1;
};

Location locate(const std::vector<std::string>& lines, const char* section, const char* key) {
    Location at;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string name, k, v;
        if (isSectionHeader(lines[i], &name)) {
            inSection = at.sectionLine < 0 && equalsIgnoringCase(name, section);
            if (inSection) at.sectionLine = at.lastLineInSection = static_cast<long>(i);
            continue;
        }
        if (!inSection) continue;
        if (!trim(lines[i]).empty()) at.lastLineInSection = static_cast<long>(i);
        if (at.keyLine < 0 && splitKeyValue(lines[i], &k, &v) && equalsIgnoringCase(k, key))
            at.keyLine = static_cast<long>(i);
    }
    return at;
}

// As Windows hands out a value: one pair of quotes around it is dropped.
std::string unquote(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

std::optional<std::string> getPrivateProfileString(const char* section, const char* key,
                                                   const char* path) {
    if (!section || !key || !path) return std::nullopt;
    const auto lines = readLines(path);
    if (!lines) return std::nullopt;
    const Location at = locate(*lines, section, key);
    if (at.keyLine < 0) return std::nullopt;
    std::string k, v;
    splitKeyValue((*lines)[static_cast<std::size_t>(at.keyLine)], &k, &v);
    return unquote(v);
}

bool writePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* path) {
    if (!section || !key || !value || !path || !*path) return false;
    auto lines = readLines(path);
    if (!lines) return false;
    const Location at = locate(*lines, section, key);
    const std::string entry = std::string(key) + "=" + value;
    if (at.keyLine >= 0) {
        (*lines)[static_cast<std::size_t>(at.keyLine)] = entry;
    } else if (at.sectionLine >= 0) {
        lines->insert(lines->begin() + at.lastLineInSection + 1, entry);
    } else {
        lines->push_back(std::string("[") + section + "]");
        lines->push_back(entry);
    }
    const std::string temporary = std::string(path) + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        for (const std::string& line : *lines)
            out << line << '\n';
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace platform
