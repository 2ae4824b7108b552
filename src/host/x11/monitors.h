// Where the monitors lie on a window that spans several of them: a bare root window, or a full-screen window
// of the program's own.
#pragma once

#include <X11/Xlib.h>

#include <vector>

#include "saver/saver.h"

namespace quorvel::x11 {

// Each monitor's rectangle in the window's coordinates, from RandR 1.5's monitors where the server has them,
// else from Xinerama. Empty when the server reports fewer than two: the whole window is then one monitor.
std::vector<ScreenRect> MonitorsOn(Display* display, Window window);

}  // namespace quorvel::x11
