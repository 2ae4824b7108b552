// The settings store against real files through the in-memory profile calls.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "startup/settings.h"

namespace fs = std::filesystem;
using quorvel::Settings;

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("quorvel-settings-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        file_ = (folder_ / "Quorvel.ini").string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    void Write(const std::string& bytes) {
        std::ofstream out(file_, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string Read() const {
        std::ifstream in(file_, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    Settings Load() {
        Settings settings;
        quorvel::LoadSettings(settings, file_);
        return settings;
    }

    fs::path folder_;
    std::string file_;
};

std::string Entry(const char* key, const std::string& value) { return std::string(key) + "=" + value + "\r\n"; }

}  // namespace

TEST_F(SettingsFile, MissingFileGivesTheDefaults) {
    const Settings s = Load();
    EXPECT_EQ(s.CrawlerSize, 75);
    EXPECT_EQ(s.CrawlerLength, 100);
    EXPECT_EQ(s.CrawlerSpeed, 100);
    EXPECT_EQ(s.CrawlerTaper, 50);
    EXPECT_FALSE(fs::exists(file_)) << "reading never creates the file";
}

TEST_F(SettingsFile, ValuesConvertAsNumbers) {
    Write("[Section]\r\n" + Entry(quorvel::kKeySize, " 120.5 ") + Entry(quorvel::kKeyLength, "99.9") +
          Entry(quorvel::kKeySpeed, "300"));
    Settings s = Load();
    EXPECT_EQ(s.CrawlerSize, 120.5f);
    EXPECT_EQ(s.CrawlerLength, 99) << "the length's integer part";
    EXPECT_EQ(s.CrawlerSpeed, 300) << "values outside the sliders' ranges are kept as they are";

    Write("[Section]\r\n" + Entry(quorvel::kKeyLength, "-0.5"));
    s = Load();
    EXPECT_EQ(s.CrawlerLength, -1) << "rounded toward minus infinity";
    EXPECT_EQ(s.CrawlerSize, 75);
}

TEST_F(SettingsFile, AFailedConversionKeepsThePreviousValueAndReadsTheRest) {
    Write("[section]\r\n" + Entry(quorvel::kKeySize, "large") + Entry(quorvel::kKeyLength, "40000") +
          Entry(quorvel::kKeySpeed, "80"));
    const Settings s = Load();
    EXPECT_EQ(s.CrawlerSize, 0) << "letters leave the size at its value before the load";
    EXPECT_EQ(s.CrawlerLength, 0) << "a length beyond 16 bits leaves it as it was";
    EXPECT_EQ(s.CrawlerSpeed, 80) << "the section name is matched without regard to case";
    EXPECT_EQ(s.CrawlerTaper, 50);
}

TEST_F(SettingsFile, BadFilesNeverBreakTheLoad) {
    const std::string huge(300, '7');
    Write("garbage\r\n[Section\r\n=\r\n" + Entry(quorvel::kKeySize, "1e39") + Entry(quorvel::kKeyLength, huge) +
          Entry(quorvel::kKeySpeed, "") + "\xff\xfe\x80=\x81\r\n");
    Settings s = Load();
    EXPECT_EQ(s.CrawlerSize, 0) << "a size beyond the float range fails to convert";
    EXPECT_EQ(s.CrawlerLength, 0) << "a 300-digit length comes back cut to 255 bytes and still overflows";
    EXPECT_EQ(s.CrawlerSpeed, 100) << "an empty value takes the default";

    Write("[Other]\r\n" + Entry(quorvel::kKeySize, "60"));
    s = Load();
    EXPECT_EQ(s.CrawlerSize, 75) << "a key in another section does not count";
}

TEST_F(SettingsFile, LongValuesAreCutTo255Bytes) {
    Write("[Section]\r\n" + Entry(quorvel::kKeySize, std::string(300, 'x')));
    EXPECT_EQ(quorvel::ReadIniValue("Section", quorvel::kKeySize, file_).size(), 255u);
}

TEST_F(SettingsFile, SaveWritesTheThreeKeysInOrderWithShiftJisBytes) {
    ASSERT_TRUE(quorvel::SaveSettings(75, 100, 100, file_));
    const std::string expected = std::string("[Section]\r\n") + "Tavrin\x82\xcc\x91\xe5\x82\xab\x82\xb3=75\r\n" +
                                 "Tavrin\x82\xcc\x92\xb7\x82\xb3=100\r\n" + "Tavrin\x82\xcc\x91\xac\x82\xb3=100\r\n";
    EXPECT_EQ(Read(), expected);
    const Settings s = Load();
    EXPECT_EQ(s.CrawlerSize, 75);
    EXPECT_EQ(s.CrawlerLength, 100);
    EXPECT_EQ(s.CrawlerSpeed, 100);
}

TEST_F(SettingsFile, SaveReplacesValuesAndKeepsEverythingElse) {
    Write("; kept\r\n[Other]\r\na=1\r\n\r\n[Section]\r\n" + Entry(quorvel::kKeyLength, "60") + "\r\n[Last]\r\nb=2\r\n");
    ASSERT_TRUE(quorvel::SaveSettings(150, 200, 120, file_));
    const std::string expected = "; kept\r\n[Other]\r\na=1\r\n\r\n[Section]\r\n" + Entry(quorvel::kKeyLength, "200") +
                                 Entry(quorvel::kKeySize, "150") + Entry(quorvel::kKeySpeed, "120") +
                                 "\r\n[Last]\r\nb=2\r\n";
    EXPECT_EQ(Read(), expected);
    // Saving the same values again changes nothing, byte for byte.
    ASSERT_TRUE(quorvel::SaveSettings(150, 200, 120, file_));
    EXPECT_EQ(Read(), expected);
}

TEST_F(SettingsFile, AFailedSaveIsReported) {
    EXPECT_FALSE(quorvel::SaveSettings(75, 100, 100, (folder_ / "missing" / "Quorvel.ini").string()));
}

TEST_F(SettingsFile, AFailedSaveLeavesNoFileBehind) {
    // A folder where the file should be: the new contents are written beside it but cannot take its place.
    fs::create_directories(file_);
    EXPECT_FALSE(quorvel::SaveSettings(75, 100, 100, file_));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder_)) left.push_back(entry.path().filename().string());
    ASSERT_EQ(left.size(), 1u) << "expected only Quorvel.ini in the folder, got " << left.size() << " entries";
    EXPECT_EQ(left[0], "Quorvel.ini");
    EXPECT_TRUE(fs::is_directory(file_)) << "expected the folder in the file's place to stay a folder";
}

TEST(SettingsText, SliderPositionsCarryALeadingBlank) {
    EXPECT_EQ(quorvel::FormatSliderPosition(75), " 75");
    EXPECT_EQ(quorvel::FormatSliderPosition(0), " 0");
    EXPECT_EQ(quorvel::FormatSliderPosition(-3), "-3");
}

TEST(SettingsLocation, TheProgramFolderWinsWhileItCanBeWritten) {
    quorvel::SettingsLocation location{"C:\\Saver\\Quorvel.ini", "C:\\Users\\a\\AppData\\Roaming\\Quorvel\\Quorvel.ini", true, true};
    EXPECT_EQ(quorvel::FileForReading(location), location.programFolderFile);
    EXPECT_EQ(quorvel::FileForWriting(location), location.programFolderFile);

    location.programFolderWritable = false;
    EXPECT_EQ(quorvel::FileForReading(location), location.userFolderFile);
    EXPECT_EQ(quorvel::FileForWriting(location), location.userFolderFile);

    location.userFileExists = false;
    EXPECT_EQ(quorvel::FileForReading(location), location.programFolderFile)
        << "until the user saves, settings left beside a protected program still count";
    EXPECT_EQ(quorvel::FileForWriting(location), location.userFolderFile);

    location.userFolderFile.clear();
    EXPECT_EQ(quorvel::FileForWriting(location), location.programFolderFile);
}

TEST_F(SettingsFile, ProfileCallsFollowTheIniRules) {
    Write("[Section]\r\n  Key One  =  \"quoted value\"  \r\nKEY\x82\x61=x\r\n");
    char buffer[64];
    EXPECT_EQ(plat::GetPrivateProfileStringA("SECTION", "key one", "", buffer, sizeof buffer, file_.c_str()), 12u);
    EXPECT_STREQ(buffer, "quoted value");
    // The trail byte of a double-byte character is never folded: 0x82 0x61 differs from 0x82 0x41.
    EXPECT_EQ(plat::GetPrivateProfileStringA("Section", "key\x82\x41", "dflt", buffer, sizeof buffer, file_.c_str()), 4u);
    EXPECT_STREQ(buffer, "dflt");
    EXPECT_EQ(plat::GetPrivateProfileStringA("Section", "key\x82\x61", "", buffer, 3, file_.c_str()), 1u);
    EXPECT_STREQ(buffer, "x");
    EXPECT_EQ(plat::GetPrivateProfileStringA("Section", "Key One", "", buffer, 5, file_.c_str()), 4u)
        << "a value longer than the buffer is cut to fit with its NUL";
    EXPECT_STREQ(buffer, "quot");
}
