// The display's real DPI, so that twip layouts come out at the right size at any scaling, and the scale factor
// that magnifies the saver's animation.
#pragma once

#include <windows.h>

namespace quorvel::win32 {

// The DPI of the monitor the window is on (the system DPI where the system cannot say per window).
int DpiForWindow(HWND window);

// The primary monitor's current DPI (the system DPI before Windows 8.1). A DPI-aware thread sees the real
// value; an unaware one sees 96.
int DpiForPrimaryMonitor();

// The primary monitor's DPI / 96 within the bounds of ScaleForDpi. Every monitor of the virtual screen uses it,
// so the animation keeps one size across monitors.
double PrimaryMonitorScale();

}  // namespace quorvel::win32
