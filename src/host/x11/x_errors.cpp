// The program's X error handler.
#include "host/x11/x_errors.h"

#include <cstdio>

namespace quorvel::x11 {
namespace {

Window g_watched = None;
uint64_t g_errors = 0;
bool g_watchedGone = false;
int g_quiet = 0;

int OnError(Display* display, XErrorEvent* error) {
    ++g_errors;
    if (error->resourceid == g_watched && (error->error_code == BadWindow || error->error_code == BadDrawable)) {
        g_watchedGone = true;
        return 0;
    }
    if (g_quiet > 0 || g_watchedGone) return 0;
    char text[160];
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "quorvel: X error: %s (request %d.%d)\n", text, error->request_code, error->minor_code);
    return 0;
}

}  // namespace

void TrapErrors(Window watched) {
    g_watched = watched;
    XSetErrorHandler(OnError);
}

uint64_t ErrorCount() { return g_errors; }
bool WatchedWindowGone() { return g_watchedGone; }

QuietErrors::QuietErrors() { ++g_quiet; }
QuietErrors::~QuietErrors() { --g_quiet; }

}  // namespace quorvel::x11
