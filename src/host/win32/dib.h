// Device-independent bitmaps for the window code: the seam's top-down header in Win32's own type, and the 32-bit
// DIB sections that pictures and button faces are kept in.
#pragma once

#include <windows.h>

#include <bit>

#include "host/win32/handles.h"
#include "seam/dib_header.h"

namespace quorvel::win32 {

static_assert(sizeof(plat::BitmapInfoHeader) == sizeof(BITMAPINFOHEADER));

inline BITMAPINFOHEADER TopDownDibHeader(int width, int height, WORD bitsPerPixel) {
    return std::bit_cast<BITMAPINFOHEADER>(plat::TopDownDibHeader(width, height, bitsPerPixel));
}

// A top-down 32-bit DIB section; `bits`, when given, receives the address of its pixels. Null on failure.
inline UniqueBitmap CreateTopDownDib32(int width, int height, void** bits = nullptr) {
    BITMAPINFO info{};
    info.bmiHeader = TopDownDibHeader(width, height, 32);
    void* pixels = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (bits) *bits = pixels;
    return bitmap;
}

}  // namespace quorvel::win32
