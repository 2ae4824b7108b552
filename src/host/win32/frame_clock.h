// What frame pacing asks of Windows: a steady clock in seconds, and the refresh rate the display reports.
#pragma once

#include <windows.h>

namespace quorvel::win32 {

// Seconds on the high-resolution performance counter.
inline double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart);
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / frequency;
}

// The primary display's refresh rate in hertz as the system reports it (0 or 1 when it cannot say).
inline int DisplayRefreshRate(HDC windowDc) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1)
        return static_cast<int>(mode.dmDisplayFrequency);
    return windowDc ? GetDeviceCaps(windowDc, VREFRESH) : 0;
}

}  // namespace quorvel::win32
