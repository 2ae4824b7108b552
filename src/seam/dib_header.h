// The header of the only kind of DIB the program makes: uncompressed and top-down, row 0 being the top row.
#pragma once

#include <cstdint>

#include "seam/gdi.h"

namespace plat {

constexpr BitmapInfoHeader TopDownDibHeader(int32_t width, int32_t height, uint16_t bitsPerPixel) {
    BitmapInfoHeader header;
    header.biSize = sizeof(BitmapInfoHeader);
    header.biWidth = width;
    header.biHeight = -height;  // a negative height is what makes a DIB top-down
    header.biPlanes = 1;
    header.biBitCount = bitsPerPixel;
    header.biCompression = kBiRgb;
    return header;
}

}  // namespace plat
