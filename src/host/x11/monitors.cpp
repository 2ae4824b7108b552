// Monitors from RandR 1.5 or Xinerama, whichever the server offers.
#include "host/x11/monitors.h"

#ifdef QUORVEL_HAVE_XRANDR
#include <X11/extensions/Xrandr.h>
#endif
#ifdef QUORVEL_HAVE_XINERAMA
#include <X11/extensions/Xinerama.h>
#endif

namespace quorvel::x11 {
namespace {

#ifdef QUORVEL_HAVE_XRANDR
// RandR's monitors (version 1.5 on) are what desktops lay out; older servers have only outputs and CRTCs.
bool FromRandr(Display* display, Window root, std::vector<ScreenRect>& into) {
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 105)
        return false;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    if (!monitors) return false;
    for (int i = 0; i < count; ++i)
        into.push_back({monitors[i].x, monitors[i].y, monitors[i].x + monitors[i].width,
                        monitors[i].y + monitors[i].height});
    XRRFreeMonitors(monitors);
    return count > 0;
}
#endif

#ifdef QUORVEL_HAVE_XINERAMA
bool FromXinerama(Display* display, std::vector<ScreenRect>& into) {
    int eventBase = 0, errorBase = 0, count = 0;
    if (!XineramaQueryExtension(display, &eventBase, &errorBase) || !XineramaIsActive(display)) return false;
    XineramaScreenInfo* screens = XineramaQueryScreens(display, &count);
    if (!screens) return false;
    for (int i = 0; i < count; ++i)
        into.push_back({screens[i].x_org, screens[i].y_org, screens[i].x_org + screens[i].width,
                        screens[i].y_org + screens[i].height});
    XFree(screens);
    return count > 0;
}
#endif

}  // namespace

std::vector<ScreenRect> MonitorsOn(Display* display, Window window) {
    std::vector<ScreenRect> monitors;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return monitors;
    [[maybe_unused]] const Window root = attributes.root;
    bool found = false;
#ifdef QUORVEL_HAVE_XRANDR
    found = FromRandr(display, root, monitors);
#endif
#ifdef QUORVEL_HAVE_XINERAMA
    if (!found) {
        monitors.clear();
        found = FromXinerama(display, monitors);
    }
#endif
    if (!found || monitors.size() < 2) return {};
    // Monitors are given on the root window; the window may lie anywhere on it.
    int x = 0, y = 0;
    Window child = None;
    XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child);
    for (ScreenRect& m : monitors) m = {m.Left - x, m.Top - y, m.Right - x, m.Bottom - y};
    return monitors;
}

}  // namespace quorvel::x11
