// What tests can see and steer of the in-memory GDI: windows to draw into, pixels, release counts, failures.
#pragma once

#include <cstdint>
#include <span>

#include "seam/gdi.h"

namespace plat::memory {

// A window's client area: a DC over a 32-bit image, as a picture box or a window gives one.
Dc CreateWindowDC(int width, int height);

// The colour at (x, y) of a window DC or of the bitmap selected into a memory DC, as 0x00RRGGBB.
uint32_t PixelRgb(Dc dc, int x, int y);
void SetPixelRgb(Dc dc, int x, int y, uint32_t rgb);
int Width(Dc dc);
int Height(Dc dc);
// The bytes of a window DC's image or of the bitmap selected into a memory DC, to compare two of them whole.
std::span<const uint8_t> Pixels(Dc dc);
// How many pixels BitBlt has copied into this DC: what presenting cost, counted without a screen.
int64_t BlittedPixels(Dc dc);

// How many times DeleteDC or DeleteObject was asked to release this handle, whether or not it was live.
int DeleteCount(GdiObject handle);
// DCs and bitmaps created by CreateCompatibleDC and CreateDIBSection and not yet released.
int LiveObjects();

enum class Call { CreateCompatibleDC, CreateDIBSection };
// The next call of this kind fails, as it would when the system runs out of GDI resources.
void FailNext(Call call);

}  // namespace plat::memory
