// Scaled copies and gradient fills, with the meaning of their Win32 namesakes (gdi32 StretchBlt, GradientFill).
#pragma once

#include <cstdint>

#include "seam/gdi.h"

namespace plat {

// Same layout as TRIVERTEX: each channel a 16-bit intensity, the 8-bit value in its upper byte.
struct TriVertex {
    int32_t x = 0;
    int32_t y = 0;
    uint16_t Red = 0;
    uint16_t Green = 0;
    uint16_t Blue = 0;
    uint16_t Alpha = 0;
};
static_assert(sizeof(TriVertex) == 16);

// Same layout as GRADIENT_RECT.
struct GradientRect {
    uint32_t UpperLeft = 0;
    uint32_t LowerRight = 0;
};

inline constexpr uint32_t kGradientFillRectV = 1;  // GRADIENT_FILL_RECT_V

inline constexpr int kBlackOnWhite = 1;  // BLACKONWHITE
inline constexpr int kColorOnColor = 3;  // COLORONCOLOR
inline constexpr int kHalftone = 4;      // HALFTONE

// Returns the previous mode, 0 on failure.
int SetStretchBltMode(Dc dc, int mode);
// Off Windows only in COLORONCOLOR mode, the one the program sets.
bool StretchBlt(Dc destination, int x, int y, int width, int height, Dc source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, uint32_t rop);
// Rectangle modes only: each GradientRect names two vertices, the rectangle's corners; right and bottom are exclusive.
// Off Windows only vertical rectangles into a 32-bit image, what the program draws.
bool GradientFill(Dc dc, const TriVertex* vertices, uint32_t vertexCount, const GradientRect* rects, uint32_t rectCount,
                  uint32_t mode);

}  // namespace plat
