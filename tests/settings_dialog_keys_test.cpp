// The settings window's keys: Tab round the sliders and buttons in reading order, Enter as Set except on a
// button, Escape as Cancel everywhere.
#include <gtest/gtest.h>

#include <optional>

#include "dialog/dialog_keys.h"

namespace quorvel {
namespace {

TEST(DialogKeys, TabGoesRoundInReadingOrderEnterSetsEscapeCancels) {
    using enum ControlId;
    using enum KeyAction;
    constexpr int kRight = 39;
    const struct { int key; bool shift; std::optional<ControlId> focused; KeyOutcome outcome; } rows[] = {
        // The window itself has the focus at first; a control out of the order counts as none.
        {kKeyTab, false, std::nullopt, {MoveFocus, HS_Size}}, {kKeyTab, true, std::nullopt, {MoveFocus, Cmd_Can}},
        {kKeyTab, false, HS_Size, {MoveFocus, HS_Length}},    {kKeyTab, false, Cmd_Can, {MoveFocus, HS_Size}},
        {kKeyTab, true, HS_Size, {MoveFocus, Cmd_Can}},       {kKeyTab, true, Cmd_Set, {MoveFocus, HS_Speed}},
        {kKeyTab, false, lbl_URL, {MoveFocus, HS_Size}},
        {kKeyEnter, false, std::nullopt, {Set}},  {kKeyEnter, true, HS_Length, {Set}},
        {kKeyEnter, false, Cmd_Can, {PassOn}},    {kKeyEnter, false, Cmd_Set, {PassOn}},  // the button clicks itself
        {kKeyEscape, false, std::nullopt, {Cancel}}, {kKeyEscape, false, Cmd_Set, {Cancel}},
        {kRight, false, HS_Size, {PassOn}},  // the slider's own
    };
    for (const auto& row : rows) {
        const KeyOutcome outcome = DecideKey(row.key, row.shift, row.focused);
        EXPECT_EQ(outcome, row.outcome) << "key " << row.key << (row.shift ? " with Shift" : "") << " on "
                                        << (row.focused ? static_cast<int>(*row.focused) : -1) << ": action "
                                        << static_cast<int>(outcome.action) << ", focus "
                                        << static_cast<int>(outcome.focus);
    }
}

}  // namespace
}  // namespace quorvel
