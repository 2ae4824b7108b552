// Time and refresh rate for the frame pacer.
#include "host/x11/frame_clock.h"

#ifdef QUORVEL_HAVE_XRANDR
#include <X11/extensions/Xrandr.h>
#endif

#include <ctime>

namespace quorvel::x11 {

double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

int RefreshRate([[maybe_unused]] Display* display, [[maybe_unused]] Window window) {
#ifdef QUORVEL_HAVE_XRANDR
    int eventBase = 0, errorBase = 0;
    XWindowAttributes attributes{};
    if (XRRQueryExtension(display, &eventBase, &errorBase) && XGetWindowAttributes(display, window, &attributes)) {
        if (XRRScreenConfiguration* config = XRRGetScreenInfo(display, attributes.root)) {
            const int rate = XRRConfigCurrentRate(config);
            XRRFreeScreenConfigInfo(config);
            return rate;
        }
    }
#endif
    return 0;
}

}  // namespace quorvel::x11
