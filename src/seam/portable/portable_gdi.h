// Headless windows: a DC over a 32-bit image that a program without a window system draws into and reads back,
// as a picture box or a screen gives one on Windows.
#pragma once

#include <cstdint>
#include <span>

#include "seam/gdi.h"

namespace plat::memory {

// A window's client area, black; it has no bitmap of its own to select, and DeleteDC does not release it.
Dc CreateWindowDC(int width, int height);
// Releases a DC from CreateWindowDC, as ReleaseDC does a window's; false for any other handle.
bool ReleaseWindowDC(Dc dc);

// The colour at (x, y) of a window DC or of the bitmap selected into a memory DC, as 0x00RRGGBB; 0 outside it.
uint32_t PixelRgb(Dc dc, int x, int y);
void SetPixelRgb(Dc dc, int x, int y, uint32_t rgb);
int Width(Dc dc);
int Height(Dc dc);
// The bytes of a window DC's image or of the bitmap selected into a memory DC, to compare two of them whole.
std::span<const uint8_t> Pixels(Dc dc);

}  // namespace plat::memory
