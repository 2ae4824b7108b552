// The settings store: four variables, read from and written to the INI file through the profile calls.
#include "settings/settings.h"

#include <cmath>
#include <limits>

#include "seam/profile.h"
#include "base/numeric.h"

namespace quorvel {
namespace {

constexpr uint32_t kValueBufferSize = 256;

}  // namespace

std::optional<float> PercentFromText(std::string_view text) {
    const auto value = ParseNumber(text);
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(*value);
}

std::optional<int16_t> LengthFromText(std::string_view text) {
    const auto value = ParseNumber(text);
    if (!value) return std::nullopt;
    const double whole = std::floor(*value);
    if (whole < std::numeric_limits<int16_t>::min() || whole > std::numeric_limits<int16_t>::max()) return std::nullopt;
    return static_cast<int16_t>(whole);
}

std::string ReadIniValue(std::string_view section, std::string_view key, const std::string& file) {
    char buffer[kValueBufferSize] = {};
    plat::GetPrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(), "", buffer,
                                   kValueBufferSize, file.c_str());
    buffer[kValueBufferSize - 1] = '\0';
    return std::string(buffer);
}

bool WriteIniValue(std::string_view section, std::string_view key, std::string_view value, const std::string& file) {
    return plat::WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                            std::string(value).c_str(), file.c_str());
}

void LoadSettings(Settings& settings, const std::string& file) {
    std::string text = ReadIniValue(kIniSection, kKeySize, file);
    if (text.empty()) settings.CrawlerSize = kDefaultCrawlerSize;
    else if (auto size = PercentFromText(text)) settings.CrawlerSize = *size;

    text = ReadIniValue(kIniSection, kKeyLength, file);
    if (text.empty()) settings.CrawlerLength = kDefaultCrawlerLength;
    else if (auto length = LengthFromText(text)) settings.CrawlerLength = *length;

    settings.CrawlerTaper = kCrawlerTaper;

    text = ReadIniValue(kIniSection, kKeySpeed, file);
    if (text.empty()) settings.CrawlerSpeed = kDefaultCrawlerSpeed;
    else if (auto speed = PercentFromText(text)) settings.CrawlerSpeed = *speed;
}

std::string FormatSliderPosition(int16_t position) {
    std::string text = position >= 0 ? " " : "";
    text += std::to_string(position);
    return text;
}

bool SaveSettings(int16_t sizePosition, int16_t lengthPosition, int16_t speedPosition, const std::string& file) {
    bool saved = WriteIniValue(kIniSection, kKeySize, FormatSliderPosition(sizePosition), file);
    saved = WriteIniValue(kIniSection, kKeyLength, FormatSliderPosition(lengthPosition), file) && saved;
    saved = WriteIniValue(kIniSection, kKeySpeed, FormatSliderPosition(speedPosition), file) && saved;
    return saved;
}

const std::string& FileForReading(const SettingsLocation& location) {
    // A protected program folder may still hold settings put there by an administrator; the user's own
    // file wins once it exists.
    if (!location.programFolderWritable && location.userFileExists && !location.userFolderFile.empty())
        return location.userFolderFile;
    return location.programFolderFile;
}

const std::string& FileForWriting(const SettingsLocation& location) {
    if (!location.programFolderWritable && !location.userFolderFile.empty()) return location.userFolderFile;
    return location.programFolderFile;
}

}  // namespace quorvel
