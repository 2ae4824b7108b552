// The time and the refresh rate that pace frames, shared by the program and its presenting floor.
#pragma once

#include <X11/Xlib.h>

namespace quorvel::x11 {

// Seconds on the steady clock.
double Now();
// The refresh rate of the screen holding `window` as RandR reports it; 0 when unknown (the pacer then takes
// its fallback).
int RefreshRate(Display* display, Window window);

}  // namespace quorvel::x11
