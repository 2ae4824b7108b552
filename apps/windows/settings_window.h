// The settings window Tavrin_P: three sliders, their values, a link, Set and Cancel.
#pragma once

#include <windows.h>

#include "settings/settings.h"

namespace quorvel::win32 {

// Shows the settings window and runs its message loop until the window has closed.
void RunSettingsDialog(HINSTANCE instance, const quorvel::Settings& settings);

}  // namespace quorvel::win32
