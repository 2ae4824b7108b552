// The display's scaling on X11: the Xft.dpi resource, which desktops set for text and toolkits scale by.
// Free of Xlib, so that odd values are tested without a display.
#pragma once

namespace quorvel::x11 {

// The scale factor for the text of Xft.dpi, read as Xft itself reads it: a leading number, anything after it
// ignored. Pass XGetDefault(display, "Xft", "dpi"), which matches the resource as Xft does ("Xft.dpi",
// "Xft*dpi", "*dpi") in the root window's RESOURCE_MANAGER. Null or no number gives 96 dpi, factor 1; the
// factor is bounded as ScaleForDpi says.
double ScaleForXftDpi(const char* value);

}  // namespace quorvel::x11
