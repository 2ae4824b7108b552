// The command line picks the mode from its second character and reads the preview's host or the settings
// dialog's owner from its fourth.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>

#include "settings/command_line.h"

using namespace std::literals;
using quorvel::StartMode;

TEST(CommandLine, ModeAndPreviewHandle) {
    using enum StartMode;
    const struct { std::string_view line; StartMode mode; bool saverCommand; int32_t handle; } rows[] = {
        {"/p 1234", Preview, false, 1234}, {"-P 1234", Preview, false, 1234}, {"/p:5678", Preview, false, 5678},
        {"/p1234", Preview, false, 234},  // the handle starts at the fourth character
        {"/p    42", Preview, false, 42}, {"/p 1 2 3", Preview, false, 123},  // blanks skipped and ignored
        {"/p 77abc", Preview, false, 77}, {"/p abc", Preview, false, 0},  // stops at a non-number; none gives 0
        {"/p 12.5", Preview, false, 12}, {"/p 13.5", Preview, false, 14},  // nearest, halves to even
        {"/p &H10", Preview, false, 16}, {"/p -5", Preview, false, -5}, {"/p", Preview, false, 0},
        {"/p -2147483648", Preview, false, INT32_MIN}, {"/p 2147483647.5", Preview, false, 0},  // 32 bits at most
        {"/p 99999999999", Preview, false, 0}, {"/p 1e400", Preview, false, 0},
        {"/c", Settings, false, 0}, {"/c:5678", Settings, false, 5678}, {"/C", Settings, false, 0},
        {"/c:12345x", Settings, false, 12345}, {"/C 77", Settings, false, 77}, {"/cx", Settings, false, 0},
        {"/s", Saver, true, 0}, {"/S", Saver, true, 0}, {"/start", Saver, true, 0}, {"/s\0x"sv, Saver, true, 0},
        {"", Saver, false, 0},
        {"/x", End, false, 0}, {"/", End, false, 0}, {" ", End, false, 0}, {"  s", End, false, 0},
        {"\x82\xa0\x82\xa2", End, false, 0},
    };
    for (const auto& row : rows) {
        const quorvel::StartRequest request = quorvel::ParseCommandLine(row.line);
        EXPECT_EQ(request.mode, row.mode) << "command line \"" << row.line << "\"";
        EXPECT_EQ(request.saverCommand, row.saverCommand) << "command line \"" << row.line << "\"";
        const bool settings = request.mode == Settings;
        EXPECT_EQ(settings ? request.ownerHandle : request.previewHandle, row.handle) << "command line \"" << row.line << "\"";
        EXPECT_EQ(settings ? request.previewHandle : request.ownerHandle, 0) << "command line \"" << row.line << "\"";
    }
}
