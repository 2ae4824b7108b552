// DPI look-up that works from Windows XP on: the per-window and per-monitor calls where the system has them.
#include "host/win32/dpi.h"

#include "base/display_scale.h"
#include "host/win32/handles.h"
#include "host/win32/system_library.h"

namespace quorvel::win32 {

int DpiForWindow(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    }
    const WindowDc screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 96;
    return dpi > 0 ? dpi : 96;
}

int DpiForPrimaryMonitor() {
    // GetDpiForMonitor and MDT_EFFECTIVE_DPI (0) from shellscalingapi.h, which older MinGW headers lack.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = SystemFunctionAs<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    UINT dpiX = 0, dpiY = 0;
    const HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (getDpiForMonitor && SUCCEEDED(getDpiForMonitor(primary, 0, &dpiX, &dpiY)) && dpiX > 0)
        return static_cast<int>(dpiX);
    return DpiForWindow(nullptr);
}

double PrimaryMonitorScale() { return ScaleForDpi(DpiForPrimaryMonitor()); }

}  // namespace quorvel::win32
