// The preview form Tavrin_R: a still of two crawlers inside the display settings' preview window.
#pragma once

// Resource ID of the still (a BMP file carried as raw data).
#define IDR_PREVIEW_STILL 103

#ifndef RC_INVOKED
#include <windows.h>

namespace quorvel::win32 {

// Shows the still as a child of `host`, sized to the host's client area, and returns when preview
// mode ends: the form is unloaded, or the host window goes away (checked at least every 250 ms).
// A handle that names no window returns at once.
void RunPreview(HINSTANCE instance, HWND host);

}  // namespace quorvel::win32
#endif
