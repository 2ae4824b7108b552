// Portable scaled copies and gradient fills, following GDI's pixel rules for what the program draws; other
// modes are refused rather than drawn differently from GDI.
#include <algorithm>
#include <utility>

#include "seam/paint.h"
#include "seam/portable/objects.h"

namespace plat {
namespace {

using memory::BitmapRecord;
using memory::DcRecord;
using memory::ToDc;

// One channel at distance `position` along a span of `length`: the exact blend of the two ends, fraction dropped.
uint8_t Blend(uint16_t from, uint16_t to, int64_t position, int64_t length) {
    const int64_t value = (int64_t{from} * (length - position) + int64_t{to} * position) / length;
    return static_cast<uint8_t>(value >> 8);
}

// The source pixel under the centre of destination pixel i: pixel i spans [i, i + 1), so its centre i + 1/2
// lands at (i + 1/2) * sourceLength / length, computed in integers as (2i + 1) * sourceLength / (2 * length).
int SourceUnderCentre(int i, int length, int sourceLength) {
    return static_cast<int>((int64_t{2 * i + 1} * sourceLength) / (int64_t{2} * length));
}

}  // namespace

int SetStretchBltMode(Dc handle, int mode) {
    DcRecord* dc = ToDc(handle);
    if (!dc || mode < kBlackOnWhite || mode > kHalftone) return 0;
    return std::exchange(dc->stretchMode, mode);
}

// COLORONCOLOR only: each destination pixel takes one source pixel, no merging of the rows and columns a shrink
// drops (the other modes' AND, OR or averaging). Mirroring (negative sizes) is not supported either.
bool StretchBlt(Dc destination, int x, int y, int width, int height, Dc source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, uint32_t rop) {
    DcRecord* to = ToDc(destination);
    DcRecord* from = ToDc(source);
    if (!to || !from || rop != kSrcCopy || to->stretchMode != kColorOnColor) return false;
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return false;
    BitmapRecord& d = *to->selected;
    BitmapRecord& s = *from->selected;
    const int i0 = std::max(0, -x), i1 = std::min(width, d.width - x);
    const int j0 = std::max(0, -y), j1 = std::min(height, d.height - y);
    for (int j = j0; j < j1; ++j) {
        const int sy = sourceY + SourceUnderCentre(j, height, sourceHeight);
        if (sy < 0 || sy >= s.height) continue;
        for (int i = i0; i < i1; ++i) {
            const int sx = sourceX + SourceUnderCentre(i, width, sourceWidth);
            if (sx >= 0 && sx < s.width) d.WriteRgb(x + i, y + j, s.ReadRgb(sx, sy));
        }
    }
    return true;
}

bool GradientFill(Dc handle, const TriVertex* vertices, uint32_t vertexCount, const GradientRect* rects, uint32_t rectCount,
                  uint32_t mode) {
    DcRecord* dc = ToDc(handle);
    // Indexed targets are refused too: GDI dithers a gradient there, which this backend does not.
    if (!dc || !vertices || !rects || mode != kGradientFillRectV || dc->selected->bitsPerPixel != 32) return false;
    BitmapRecord& d = *dc->selected;
    for (uint32_t r = 0; r < rectCount; ++r) {
        if (rects[r].UpperLeft >= vertexCount || rects[r].LowerRight >= vertexCount) return false;
        TriVertex a = vertices[rects[r].UpperLeft];
        TriVertex b = vertices[rects[r].LowerRight];
        if (a.y > b.y) std::swap(a, b);  // the colours run from the upper vertex to the lower one
        const int left = std::max(std::min(a.x, b.x), 0), right = std::min(std::max(a.x, b.x), d.width);
        const int64_t length = b.y - a.y;
        for (int y = std::max(a.y, 0); y < std::min(b.y, d.height); ++y) {
            const int64_t at = y - a.y;
            const uint32_t rgb = (uint32_t{Blend(a.Red, b.Red, at, length)} << 16) |
                                 (uint32_t{Blend(a.Green, b.Green, at, length)} << 8) | Blend(a.Blue, b.Blue, at, length);
            for (int x = left; x < right; ++x) d.WriteRgb(x, y, rgb);
        }
    }
    return true;
}

}  // namespace plat
