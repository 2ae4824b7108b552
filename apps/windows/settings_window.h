// The settings window Tavrin_P: three sliders, their values, a link, Set and Cancel.
#pragma once

#include <windows.h>

#include "settings/settings.h"

namespace quorvel::win32 {

// Shows the settings window and runs its message loop until the window has closed. An `owner` (the display
// settings' window, or null) owns the window and is disabled while it is open: it is enabled and activated again
// however the window closes, and the window opens centred over it while it is on screen.
void RunSettingsDialog(HINSTANCE instance, const quorvel::Settings& settings, HWND owner);

}  // namespace quorvel::win32
