// The command line picks the mode from its second character and reads the preview handle from its fourth.
#include <gtest/gtest.h>

#include <string>

#include "startup/command_line.h"
#include "base/numeric.h"

using quorvel::ParseCommandLine;
using quorvel::StartMode;

TEST(CommandLine, ModeTable) {
    struct Row {
        const char* line;
        StartMode mode;
        bool saverCommand;
        int32_t handle;
    } rows[] = {
        {"/p 1234", StartMode::Preview, false, 1234},
        {"-P 1234", StartMode::Preview, false, 1234},
        {"/P 1234", StartMode::Preview, false, 1234},
        {"/p1234", StartMode::Preview, false, 234},  // the handle starts at the fourth character
        {"/p:5678", StartMode::Preview, false, 5678},
        {"/c", StartMode::Settings, false, 0},
        {"/c:5678", StartMode::Settings, false, 0},
        {"/C", StartMode::Settings, false, 0},
        {"/s", StartMode::Saver, true, 0},
        {"/S", StartMode::Saver, true, 0},
        {"/start", StartMode::Saver, true, 0},
        {"", StartMode::Saver, false, 0},
        {"/x", StartMode::End, false, 0},
        {"/", StartMode::End, false, 0},
        {" ", StartMode::End, false, 0},
        {"  s", StartMode::End, false, 0},
    };
    for (const Row& row : rows) {
        const auto request = ParseCommandLine(row.line);
        EXPECT_EQ(request.mode, row.mode) << "command line \"" << row.line << "\"";
        EXPECT_EQ(request.saverCommand, row.saverCommand) << "command line \"" << row.line << "\"";
        EXPECT_EQ(request.previewHandle, row.handle) << "command line \"" << row.line << "\"";
    }
}

TEST(CommandLine, PreviewHandleFollowsNumericTextRules) {
    EXPECT_EQ(ParseCommandLine("/p    42").previewHandle, 42) << "leading blanks are skipped";
    EXPECT_EQ(ParseCommandLine("/p 1 2 3").previewHandle, 123) << "blanks between digits are ignored";
    EXPECT_EQ(ParseCommandLine("/p 77abc").previewHandle, 77) << "reading stops at the first non-number";
    EXPECT_EQ(ParseCommandLine("/p abc").previewHandle, 0) << "no digits gives 0";
    EXPECT_EQ(ParseCommandLine("/p 12.5").previewHandle, 12) << "nearest integer, halves to even";
    EXPECT_EQ(ParseCommandLine("/p 13.5").previewHandle, 14);
    EXPECT_EQ(ParseCommandLine("/p &H10").previewHandle, 16);
    EXPECT_EQ(ParseCommandLine("/p -5").previewHandle, -5);
    EXPECT_EQ(ParseCommandLine("/p 99999999999").previewHandle, 0) << "a handle that does not fit 32 bits names nothing";
    EXPECT_EQ(ParseCommandLine("/p 1e400").previewHandle, 0);
    EXPECT_EQ(ParseCommandLine("/p").previewHandle, 0);
}

TEST(CommandLine, AnyBytesAreSafe) {
    std::string line = "/p ";
    for (int i = 0; i < 100000; ++i) line += static_cast<char>(i * 7 + 1);
    EXPECT_EQ(ParseCommandLine(line).mode, StartMode::Preview);
    EXPECT_EQ(ParseCommandLine("\x82\xa0\x82\xa2").mode, StartMode::End);
    EXPECT_EQ(ParseCommandLine(std::string("/s\0x", 4)).mode, StartMode::Saver);
    EXPECT_EQ(ParseCommandLine(std::string(5000, '9').insert(0, "/p ")).previewHandle, 0);
}

TEST(Numeric, RoundsHalvesToEvenAndRefusesOverflow) {
    EXPECT_EQ(quorvel::ToInt16(2.5), 2);
    EXPECT_EQ(quorvel::ToInt16(3.5), 4);
    EXPECT_EQ(quorvel::ToInt16(-2.5), -2);
    EXPECT_EQ(quorvel::ToInt16(32767.4), 32767);
    EXPECT_FALSE(quorvel::ToInt16(32767.5)) << "rounds to 32768, outside 16 bits";
    EXPECT_FALSE(quorvel::ToInt16(-32768.6));
    EXPECT_FALSE(quorvel::ToInt16(std::nan("")));
    EXPECT_FALSE(quorvel::ToInt32(3e9));
    EXPECT_EQ(quorvel::ToInt32(-2147483648.0), INT32_MIN);
}

TEST(Numeric, ParseNumberIsStrictAboutWhatSurroundsTheNumber) {
    EXPECT_EQ(quorvel::ParseNumber("  120.5 "), 120.5);
    EXPECT_EQ(quorvel::ParseNumber("\t-0.5"), -0.5);
    EXPECT_EQ(quorvel::ParseNumber("1e2"), 100);
    EXPECT_EQ(quorvel::ParseNumber(".5"), 0.5);
    EXPECT_EQ(quorvel::ParseNumber("&HFF"), 255);
    EXPECT_FALSE(quorvel::ParseNumber("abc"));
    EXPECT_FALSE(quorvel::ParseNumber("12abc"));
    EXPECT_FALSE(quorvel::ParseNumber("1 2"));
    EXPECT_FALSE(quorvel::ParseNumber(""));
    EXPECT_FALSE(quorvel::ParseNumber("-"));
    EXPECT_FALSE(quorvel::ParseNumber("1e999")) << "an overflowing number is a failed conversion";
    EXPECT_FALSE(quorvel::ParseNumber("&H"));
}
