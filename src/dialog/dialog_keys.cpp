// The settings window's keys as a decision, apart from the window that acts on it.
#include "dialog/dialog_keys.h"

#include <algorithm>

namespace quorvel {

KeyOutcome DecideKey(int keyCode, bool shift, std::optional<ControlId> focused) {
    const auto at = focused ? std::find(kTabOrder.begin(), kTabOrder.end(), *focused) : kTabOrder.end();
    switch (keyCode) {
        case kKeyTab: {
            const int count = static_cast<int>(kTabOrder.size());
            const int from = at != kTabOrder.end() ? static_cast<int>(at - kTabOrder.begin()) : (shift ? count : -1);
            return {KeyAction::MoveFocus, kTabOrder[static_cast<size_t>((from + (shift ? count - 1 : 1)) % count)]};
        }
        case kKeyEnter: {
            const bool onButton = focused == ControlId::Cmd_Set || focused == ControlId::Cmd_Can;
            return onButton ? KeyOutcome{} : KeyOutcome{KeyAction::Set};
        }
        case kKeyEscape: return {KeyAction::Cancel};
        default: return {};
    }
}

}  // namespace quorvel
