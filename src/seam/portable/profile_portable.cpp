// Private-profile calls on real files, following the rules Windows and Wine apply to INI files.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "seam/profile.h"

namespace plat {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool IsShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Case-insensitive in ASCII letters only, and never on the trail byte of a double-byte character.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    bool trail = false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (!trail && x < 0x80) {
            if (x >= 'a' && x <= 'z') x -= 32;
            if (y >= 'a' && y <= 'z') y -= 32;
        }
        if (x != y) return false;
        trail = !trail && IsShiftJisLead(static_cast<unsigned char>(a[i]));
    }
    return true;
}

std::vector<std::string> ReadLines(const char* file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool IsSectionHeader(std::string_view line, std::string_view* name) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return false;
    const size_t close = line.find(']');
    *name = Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return true;
}

bool SplitEntry(std::string_view line, std::string_view* key, std::string_view* value) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    *key = Trim(line.substr(0, equals));
    *value = Trim(line.substr(equals + 1));
    return true;
}

// Where section's lines run: [begin, end). begin is npos when the section is missing.
std::pair<size_t, size_t> FindSection(const std::vector<std::string>& lines, std::string_view section) {
    size_t begin = std::string::npos;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (!IsSectionHeader(lines[i], &name)) continue;
        if (begin != std::string::npos) return {begin, i};
        if (SameName(name, section)) begin = i + 1;
    }
    return {begin, lines.size()};
}

uint32_t CopyOut(std::string_view text, char* buffer, uint32_t size) {
    if (!buffer || size == 0) return 0;
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(text.size(), size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n;
}

}  // namespace

uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                                  uint32_t size, const char* file) {
    const std::string_view fallback = Trim(defaultValue ? defaultValue : "");
    if (!section || !key || !file) return CopyOut(fallback, buffer, size);
    const std::vector<std::string> lines = ReadLines(file);
    const auto [begin, end] = FindSection(lines, Trim(section));
    if (begin == std::string::npos) return CopyOut(fallback, buffer, size);
    for (size_t i = begin; i < end; ++i) {
        std::string_view k, v;
        if (!SplitEntry(lines[i], &k, &v) || !SameName(k, Trim(key))) continue;
        // A value wrapped in matching quotes comes back without them.
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        return CopyOut(v, buffer, size);
    }
    return CopyOut(fallback, buffer, size);
}

bool WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* file) {
    if (!section || !key || !value || !file) return false;
    std::vector<std::string> lines = ReadLines(file);
    const std::string_view name = Trim(section);
    const std::string entry = std::string(Trim(key)) + "=" + std::string(Trim(value));
    auto [begin, end] = FindSection(lines, name);
    if (begin == std::string::npos) {
        std::string header = "[";
        header.append(name).append("]");
        lines.push_back(header);
        lines.push_back(entry);
    } else {
        bool replaced = false;
        for (size_t i = begin; i < end && !replaced; ++i) {
            std::string_view k, v;
            if (SplitEntry(lines[i], &k, &v) && SameName(k, Trim(key))) {
                lines[i] = entry;
                replaced = true;
            }
        }
        if (!replaced) {
            // A new key goes after the section's last entry, before any blank lines that separate sections.
            size_t at = end;
            while (at > begin && Trim(lines[at - 1]).empty()) --at;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
        }
    }
    // Written whole to a neighbour first, so a failed write never leaves a half-written settings file.
    const std::string temporary = std::string(file) + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        for (const std::string& line : lines) out << line << "\r\n";
        if (!out.flush()) {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), file) == 0) return true;
    std::remove(temporary.c_str());
    return false;
}

}  // namespace plat
