// The full-screen saver window Tavrin_S: covers the primary screen, topmost, animates both crawlers at the
// display's refresh rate until a mouse button is pressed on it.
#pragma once

#include <windows.h>

#include "settings/settings.h"

namespace quorvel::win32 {

// Returns when the saver has ended: a mouse button pressed on the window, or the window closed otherwise.
void RunSaver(HINSTANCE instance, const quorvel::Settings& settings);

}  // namespace quorvel::win32
