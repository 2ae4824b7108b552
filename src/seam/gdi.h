// The few GDI calls the core makes, with the meaning of their Win32 namesakes.
// The Windows build forwards each to the real call; elsewhere the portable backend (seam/portable) implements them.
#pragma once

#include <cstdint>

namespace plat {

using Dc = struct DcTag*;        // HDC
using GdiObject = void*;         // HGDIOBJ
using Bitmap = struct BitmapTag*;  // HBITMAP

// Same layout as RGBQUAD.
struct RgbQuad {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
};
static_assert(sizeof(RgbQuad) == 4);

// Same layout as BITMAPINFOHEADER.
struct BitmapInfoHeader {
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

// A BITMAPINFO with room for a full 256-entry colour table.
struct BitmapInfo256 {
    BitmapInfoHeader header;
    RgbQuad colors[256];
};

inline constexpr uint32_t kSrcCopy = 0x00CC0020;  // SRCCOPY
inline constexpr unsigned kDibRgbColors = 0;      // DIB_RGB_COLORS
inline constexpr uint32_t kBiRgb = 0;             // BI_RGB

Dc CreateCompatibleDC(Dc dc);
Bitmap CreateDIBSection(Dc dc, const BitmapInfo256* info, unsigned usage, void** bits);
GdiObject SelectObject(Dc dc, GdiObject object);
bool BitBlt(Dc destination, int x, int y, int width, int height, Dc source, int sourceX, int sourceY, uint32_t rop);
unsigned SetDIBColorTable(Dc dc, unsigned start, unsigned count, const RgbQuad* colors);
bool DeleteDC(Dc dc);
bool DeleteObject(GdiObject object);

}  // namespace plat
