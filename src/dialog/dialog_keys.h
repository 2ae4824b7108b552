// The settings window's own keys: the tab order through its sliders and buttons, and Enter and Escape, which
// mean Set and Cancel wherever the focus is, except that a focused button takes Enter as a click of its own.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "dialog/dialog_layout.h"

namespace quorvel {

// The platform's codes of the keys the window answers before the focused control sees them.
inline constexpr int kKeyTab = 9;
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;

// Reading order: the sliders from the top, then Set and Cancel.
inline constexpr std::array kTabOrder{ControlId::HS_Size, ControlId::HS_Length, ControlId::HS_Speed,
                                      ControlId::Cmd_Set, ControlId::Cmd_Can};

enum class KeyAction : uint8_t {
    PassOn,     // the focused control's key: a slider's arrows, pages, Home and End, a button's Space and Enter
    MoveFocus,  // to `focus`
    Set,        // exactly as a click on Set
    Cancel,     // exactly as a click on Cancel
};

struct KeyOutcome {
    KeyAction action = KeyAction::PassOn;
    ControlId focus = kTabOrder.front();
    bool operator==(const KeyOutcome&) const = default;
};

// A key going down in the window. `focused` is the control of the tab order that holds the focus, empty when
// none does (the window itself has it when the dialog opens): Tab then goes to the first, Shift+Tab to the last.
KeyOutcome DecideKey(int keyCode, bool shift, std::optional<ControlId> focused);

}  // namespace quorvel
