// The settings store against real files through the in-memory profile calls: what a load makes of the file's
// text, the bytes a save writes, and which file is read and written where.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "settings/settings.h"
#include "support.h"

namespace fs = std::filesystem;
using quorvel::Settings;
using quorvel::testing::ReadBytes;
using quorvel::testing::TempFolder;
using quorvel::testing::WriteBytes;

namespace {

// The keys exactly as the file must hold them, in Shift-JIS.
const std::string kSize = "Tavrin\x82\xcc\x91\xe5\x82\xab\x82\xb3";  // Tavrinの大きさ
const std::string kLength = "Tavrin\x82\xcc\x92\xb7\x82\xb3";        // Tavrinの長さ
const std::string kSpeed = "Tavrin\x82\xcc\x91\xac\x82\xb3";         // Tavrinの速さ

std::string Line(const std::string& key, const std::string& value) { return key + "=" + value + "\r\n"; }
std::string Section(const std::string& lines) { return "[Section]\r\n" + lines; }

}  // namespace

TEST(LoadSettings, TextToSettings) {
    // `file` is empty when there is no file at all.
    const struct { const char* what; std::optional<std::string> file; Settings expected; } rows[] = {
        {"no file: the defaults", std::nullopt, {75, 100, 100, 50}},
        {"numbers as written; the length's integer part; no range check",
         Section(Line(kSize, " 120.5 ") + Line(kLength, "99.9") + Line(kSpeed, "300")), {120.5f, 99, 300, 50}},
        {"toward minus infinity; a missing key's default", Section(Line(kLength, "-0.5")), {75, -1, 100, 50}},
        {"hexadecimal, octal, quotes, and names in any case", "[section]\r\n" +
         Line("TAVRIN\x82\xcc\x91\xe5\x82\xab\x82\xb3", "&H50") + Line(kLength, "&O170") + Line(kSpeed, "\"&h6E\""),
         {80, 120, 110, 50}},
        {"a failed conversion keeps the value before the load; the rest is still read",
         Section(Line(kSize, "large") + Line(kLength, "40000") + Line(kSpeed, "80")), {1, 2, 80, 50}},
        {"nothing but blanks may surround the number", Section(Line(kSize, "12abc") + Line(kLength, "&O8") +
         Line(kSpeed, "1 2")), {1, 2, 3, 50}},
        {"a bare decimal point, an exponent, and one too large for a double", Section(Line(kSize, ".5") +
         Line(kLength, "1e2") + Line(kSpeed, "1e999")), {0.5f, 100, 3, 50}},
        {"beyond the float range; 300 digits cut to 255 still overflow; an empty value's default",
         "garbage\r\n[Section\r\n=\r\n" + Line(kSize, "1e39") + Line(kLength, std::string(300, '7')) +
             Line(kSpeed, "") + "\xff\xfe\x80=\x81\r\n", {1, 2, 100, 50}},
        {"a key in another section does not count", "[Other]\r\n" + Line(kSize, "60"), {75, 100, 100, 50}},
        {"a value is cut to 255 bytes, here the blanks before a stray letter",
         Section(Line(kSize, "7" + std::string(254, ' ') + "x")), {7, 100, 100, 50}},
    };
    const auto fields = [](const Settings& s) {
        return std::tuple(s.CrawlerSize, s.CrawlerLength, s.CrawlerSpeed, s.CrawlerTaper);
    };
    const TempFolder folder;
    const std::string file = folder.File("Quorvel.ini");
    for (const auto& row : rows) {
        fs::remove(file);
        if (row.file) WriteBytes(file, *row.file);
        Settings loaded{1, 2, 3, 0};  // what the variables held before, so that a kept value shows
        quorvel::LoadSettings(loaded, file);
        EXPECT_EQ(fields(loaded), fields(row.expected)) << row.what << " (size, length, speed, taper)";
        EXPECT_EQ(fs::exists(file), row.file.has_value()) << row.what << ": reading never creates the file";
    }
}

TEST(SaveSettings, WritesTheThreeKeysInOrderAndReadsBackToTheSameBytes) {
    TempFolder folder;
    const std::string file = folder.File("Quorvel.ini");
    // The profile calls drop the blank before a number, so only the text itself shows it.
    EXPECT_EQ(quorvel::FormatSliderPosition(75), " 75");
    EXPECT_EQ(quorvel::FormatSliderPosition(0) + quorvel::FormatSliderPosition(-3), " 0-3");
    ASSERT_TRUE(quorvel::SaveSettings(75, 100, 100, file));
    const std::string expected = Section(Line(kSize, "75") + Line(kLength, "100") + Line(kSpeed, "100"));
    ASSERT_EQ(ReadBytes(file), expected);
    Settings s;
    quorvel::LoadSettings(s, file);
    ASSERT_TRUE(quorvel::SaveSettings(static_cast<int16_t>(s.CrawlerSize), s.CrawlerLength,
                                      static_cast<int16_t>(s.CrawlerSpeed), file));
    EXPECT_EQ(ReadBytes(file), expected) << "what was loaded, saved again";
}

TEST(SaveSettings, ReplacesTheValuesAndKeepsEverythingElse) {
    TempFolder folder;
    const std::string file = folder.File("Quorvel.ini");
    const std::string before = "; kept\r\n[Other]\r\na=1\r\n\r\n[Section]\r\n", after = "\r\n[Last]\r\nb=2\r\n";
    WriteBytes(file, before + Line(kLength, "60") + after);
    for (int pass = 1; pass <= 2; ++pass) {
        ASSERT_TRUE(quorvel::SaveSettings(150, 200, 120, file));
        EXPECT_EQ(ReadBytes(file), before + Line(kLength, "200") + Line(kSize, "150") + Line(kSpeed, "120") + after)
            << "save number " << pass;
    }
}

TEST(SaveSettings, AFailedSaveIsReportedAndLeavesNothingBehind) {
    TempFolder folder;
    EXPECT_FALSE(quorvel::SaveSettings(75, 100, 100, folder.File("missing/Quorvel.ini")));
    // A folder where the file should be: the new contents are written beside it but cannot take its place.
    const std::string file = folder.File("Quorvel.ini");
    fs::create_directories(file);
    EXPECT_FALSE(quorvel::SaveSettings(75, 100, 100, file));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder.Path())) left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"Quorvel.ini"}) << "no temporary file is left beside it";
}

TEST(SettingsLocation, TheProgramFolderWhileItCanBeWrittenThenTheUsersOwnFile) {
    const std::string program = "C:\\Saver\\Quorvel.ini", user = "C:\\Users\\a\\AppData\\Roaming\\Quorvel\\Quorvel.ini";
    // A location: program file, user file, program folder writable, user file exists.
    const struct { const char* what; quorvel::SettingsLocation location; std::string reading, writing; } rows[] = {
        {"a writable program folder wins", {program, user, true, true}, program, program},
        {"locked, with a user file", {program, user, false, true}, user, user},
        {"locked, before the user's first save the program's file still counts", {program, user, false, false},
         program, user},
        {"locked, with no application-data folder", {program, "", false, true}, program, program},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(quorvel::FileForReading(row.location), row.reading) << row.what;
        EXPECT_EQ(quorvel::FileForWriting(row.location), row.writing) << row.what;
    }
}
