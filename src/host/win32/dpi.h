// The display's real DPI, so that twip layouts come out at the right size at any scaling.
#pragma once

#include <windows.h>

namespace quorvel::win32 {

// The DPI of the monitor the window is on (the system DPI where the system cannot say per window).
int DpiForWindow(HWND window);

}  // namespace quorvel::win32
