// The saver's three user settings and the fixed taper, and the INI file that keeps them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// Zero until LoadSettings runs; the file keeps slider positions, but a hand-edited file may hold anything.
struct Settings {
    float CrawlerSize = 0;     // percent
    int16_t CrawlerLength = 0;  // body parts
    float CrawlerSpeed = 0;    // percent
    int16_t CrawlerTaper = 0;  // always 50 once loaded
};

inline constexpr float kDefaultCrawlerSize = 75;
inline constexpr int16_t kDefaultCrawlerLength = 100;
inline constexpr float kDefaultCrawlerSpeed = 100;
inline constexpr int16_t kCrawlerTaper = 50;

// The section and key names as the settings file holds them: Shift-JIS bytes, whatever the system code page.
inline constexpr char kIniSection[] = "Section";
inline constexpr char kKeySize[] = "Tavrin\x82\xcc\x91\xe5\x82\xab\x82\xb3";    // Tavrinの大きさ
inline constexpr char kKeyLength[] = "Tavrin\x82\xcc\x92\xb7\x82\xb3";         // Tavrinの長さ
inline constexpr char kKeySpeed[] = "Tavrin\x82\xcc\x91\xac\x82\xb3";          // Tavrinの速さ
// The file's own name, in whichever folder it lives.
inline constexpr char kIniFileName[] = "Quorvel.ini";

// One value of the file, or empty text when the file, section or key is missing. At most 255 bytes.
std::string ReadIniValue(std::string_view section, std::string_view key, const std::string& file);
// True when the write succeeded.
bool WriteIniValue(std::string_view section, std::string_view key, std::string_view value, const std::string& file);

// One value's text as a setting: a percent (size, speed) as a float, a length as the integer part of its number
// (toward minus infinity). Empty when the text does not convert or the number does not fit; no range check.
std::optional<float> PercentFromText(std::string_view text);
std::optional<int16_t> LengthFromText(std::string_view text);

// Empty text takes the default; text that does not convert leaves the setting as it was.
void LoadSettings(Settings& settings, const std::string& file);

// Writes the three slider positions in the order size, length, speed. True when all three were written.
bool SaveSettings(int16_t sizePosition, int16_t lengthPosition, int16_t speedPosition, const std::string& file);

// A slider position as the file stores it: a blank before a non-negative number (" 75", "-3").
std::string FormatSliderPosition(int16_t position);

// Where the settings file lives: beside the program while its folder can be written, otherwise in the user's
// application-data folder, so that a saver installed in a protected folder still keeps its settings.
struct SettingsLocation {
    std::string programFolderFile;  // <program folder>\Quorvel.ini
    std::string userFolderFile;     // <application data>\Quorvel\Quorvel.ini, or empty when unknown
    bool programFolderWritable = true;
    bool userFileExists = false;
};
const std::string& FileForReading(const SettingsLocation& location);
const std::string& FileForWriting(const SettingsLocation& location);

}  // namespace quorvel
