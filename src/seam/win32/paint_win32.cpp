// Scaled copies and gradient fills on Windows: each call forwards to its Win32 namesake.
// Gradients come from gdi32's GdiGradientFill, which msimg32's GradientFill only forwards to: msimg32 is not a
// known DLL, so importing it would let a file of that name beside the program be loaded in its place.
#include <windows.h>

#include "seam/paint.h"

static_assert(sizeof(plat::TriVertex) == sizeof(TRIVERTEX));
static_assert(sizeof(plat::GradientRect) == sizeof(GRADIENT_RECT));
static_assert(plat::kGradientFillRectV == GRADIENT_FILL_RECT_V && plat::kColorOnColor == COLORONCOLOR &&
              plat::kHalftone == HALFTONE);

namespace plat {

int SetStretchBltMode(Dc dc, int mode) { return ::SetStretchBltMode(reinterpret_cast<HDC>(dc), mode); }

bool StretchBlt(Dc destination, int x, int y, int width, int height, Dc source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, uint32_t rop) {
    return ::StretchBlt(reinterpret_cast<HDC>(destination), x, y, width, height, reinterpret_cast<HDC>(source), sourceX,
                        sourceY, sourceWidth, sourceHeight, rop) != FALSE;
}

bool GradientFill(Dc dc, const TriVertex* vertices, uint32_t vertexCount, const GradientRect* rects, uint32_t rectCount,
                  uint32_t mode) {
    return ::GdiGradientFill(reinterpret_cast<HDC>(dc), reinterpret_cast<TRIVERTEX*>(const_cast<TriVertex*>(vertices)),
                             vertexCount, const_cast<GradientRect*>(rects), rectCount, mode) != FALSE;
}

}  // namespace plat
