// X errors, which Xlib reports long after the request that caused them: counted rather than fatal, so that a
// window destroyed under us or a server that cannot share memory is noticed and handled, never printed.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

namespace quorvel::x11 {

// Installs the handler. Errors on `watched` (our window, or the one we were given) mean it is gone.
void TrapErrors(Window watched);
uint64_t ErrorCount();
bool WatchedWindowGone();

// While one lives, errors are only counted: for requests that are allowed to fail, like attaching memory.
class QuietErrors {
public:
    QuietErrors();
    ~QuietErrors();
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;
};

}  // namespace quorvel::x11
