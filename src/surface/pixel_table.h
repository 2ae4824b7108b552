// The 8-bit frame in a display's own pixel format (an X visual's, a canvas's RGBA): one pixel value per palette
// entry, worked out once from the colour masks, and rows of indices turned into rows of those pixels in the
// image's byte order.
#pragma once

#include <array>
#include <cstdint>

#include "surface/palette.h"

namespace quorvel {

// What an image of packed pixels (an X TrueColor visual's, a canvas's) needs to know of them.
struct PixelFormat {
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    int bitsPerPixel = 32;    // 16, 24 (three bytes a pixel) or 32
    bool mostSignificantFirst = false;  // the image's byte order
};

// Formats the converter can write: each mask one run of 1 to 16 bits, 16, 24 or 32 bits a pixel.
bool Supported(const PixelFormat& format);

using PixelTable = std::array<uint32_t, 256>;

// Each palette entry's pixel value: every channel scaled to its mask's width and moved into place.
PixelTable BuildPixelTable(const std::array<Rgb, 256>& palette, const PixelFormat& format);

// A rectangle of 8-bit indices (top-left at `source`, `sourcePitch` bytes a row) into the same place of an
// image whose rows are `imagePitch` bytes, `destination` pointing at the rectangle's first pixel there.
void ConvertRect(const uint8_t* source, int sourcePitch, int width, int height, const PixelTable& table,
                 const PixelFormat& format, uint8_t* destination, int imagePitch);

}  // namespace quorvel
