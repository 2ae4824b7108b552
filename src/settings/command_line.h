// The screen-saver command line: which mode to run, and the window handle that follows the mode: the preview's
// host, or the settings dialog's owner.
#pragma once

#include <cstdint>
#include <string_view>

namespace quorvel {

enum class StartMode {
    Preview,   // "P": a still inside the host's preview window
    Settings,  // "C": the settings dialog
    Saver,     // "S" or an empty command line: the full-screen saver
    End,       // anything else: end at once
};

struct StartRequest {
    StartMode mode = StartMode::End;
    bool saverCommand = false;   // "S" given: hide the cursor and tell the system a saver runs
    int32_t previewHandle = 0;   // read from the fourth character on; 0 when it does not fit 32 bits
    int32_t ownerHandle = 0;     // "/c:HWND": read the same way; 0 for a plain "/c"
};

// Whether a start in this mode holds the single-instance mark: the saver and the settings dialog do, a preview
// (which the display settings start again and again beside an open dialog) and an ending start do not.
constexpr bool HoldsInstanceMark(StartMode mode) { return mode == StartMode::Saver || mode == StartMode::Settings; }

// The arguments after the program's path, exactly as passed (not trimmed), as UTF-8.
StartRequest ParseCommandLine(std::string_view arguments);

}  // namespace quorvel
