// The objects behind the in-memory GDI's handles, shared by the files that implement its calls.
#pragma once

#include <cstdint>
#include <vector>

#include "seam/gdi.h"

namespace plat::memory {

struct BitmapRecord {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 8;  // 8 (indexed) or 32 (blue, green, red, unused)
    int stride = 0;        // bytes per row
    bool topDown = true;
    std::vector<uint8_t> pixels;
    RgbQuad table[256] = {};
    bool deleted = false;
    int deleteCount = 0;
    struct DcRecord* selectedInto = nullptr;

    uint8_t* Row(int y) { return pixels.data() + static_cast<size_t>(topDown ? y : height - 1 - y) * stride; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint32_t ReadRgb(int x, int y);           // 0x00RRGGBB
    void WriteRgb(int x, int y, uint32_t rgb);  // matched to the colour table when indexed
};

struct DcRecord {
    bool isWindow = false;  // a window's client area rather than a memory DC
    BitmapRecord* selected = nullptr;
    BitmapRecord stock;     // the 1x1 bitmap a new memory DC starts with, or a window's own image
    bool deleted = false;
    int deleteCount = 0;
    int64_t blittedPixels = 0;  // pixels BitBlt has written into this DC
};

DcRecord* ToDc(Dc dc);              // null when the handle names no DC
BitmapRecord* ToBitmap(GdiObject object);  // null when the handle names no bitmap

}  // namespace plat::memory
