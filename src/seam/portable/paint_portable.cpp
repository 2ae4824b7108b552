// In-memory scaled copies and gradient fills, following GDI's pixel rules for the cases the program uses.
#include <algorithm>
#include <unordered_map>

#include "seam/portable/objects.h"
#include "seam/paint.h"

namespace plat {
namespace {

using memory::DcRecord;
using memory::ToDc;

std::unordered_map<const DcRecord*, int>& stretchModes() {
    static std::unordered_map<const DcRecord*, int> modes;
    return modes;
}

// One channel at distance `position` along a span of `length`: the exact blend of the two ends, fraction dropped.
uint8_t Blend(uint16_t from, uint16_t to, int64_t position, int64_t length) {
    const int64_t value = (int64_t{from} * (length - position) + int64_t{to} * position) / length;
    return static_cast<uint8_t>(value >> 8);
}

}  // namespace

int SetStretchBltMode(Dc handle, int mode) {
    DcRecord* dc = ToDc(handle);
    if (!dc || dc->deleted || mode < 1 || mode > 4) return 0;
    auto [it, inserted] = stretchModes().try_emplace(dc, kBlackOnWhite);
    const int previous = it->second;
    it->second = mode;
    return previous;
}

// Every destination pixel takes the source pixel under its centre, as COLORONCOLOR does: no blending, no
// AND/OR merging. Mirroring (negative sizes) is not supported here and fails.
bool StretchBlt(Dc destination, int x, int y, int width, int height, Dc source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, uint32_t rop) {
    DcRecord* to = ToDc(destination);
    DcRecord* from = ToDc(source);
    if (!to || !from || to->deleted || from->deleted || !to->selected || !from->selected || rop != kSrcCopy) return false;
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return false;
    memory::BitmapRecord& d = *to->selected;
    memory::BitmapRecord& s = *from->selected;
    for (int j = 0; j < height; ++j) {
        const int dy = y + j;
        const int sy = sourceY + static_cast<int>((int64_t{2 * j + 1} * sourceHeight) / (int64_t{2} * height));
        for (int i = 0; i < width; ++i) {
            const int dx = x + i;
            const int sx = sourceX + static_cast<int>((int64_t{2 * i + 1} * sourceWidth) / (int64_t{2} * width));
            if (!d.Contains(dx, dy) || !s.Contains(sx, sy)) continue;
            d.WriteRgb(dx, dy, s.ReadRgb(sx, sy));
        }
    }
    return true;
}

bool GradientFill(Dc handle, const TriVertex* vertices, uint32_t vertexCount, const GradientRect* rects, uint32_t rectCount,
                  uint32_t mode) {
    DcRecord* dc = ToDc(handle);
    if (!dc || dc->deleted || !dc->selected || !vertices || !rects) return false;
    if (mode != kGradientFillRectH && mode != kGradientFillRectV) return false;
    memory::BitmapRecord& d = *dc->selected;
    for (uint32_t r = 0; r < rectCount; ++r) {
        if (rects[r].UpperLeft >= vertexCount || rects[r].LowerRight >= vertexCount) return false;
        TriVertex a = vertices[rects[r].UpperLeft];
        TriVertex b = vertices[rects[r].LowerRight];
        const bool vertical = mode == kGradientFillRectV;
        // The colours run from the vertex nearer the top (or the left) to the other one.
        if (vertical ? a.y > b.y : a.x > b.x) std::swap(a, b);
        const int left = std::min(a.x, b.x), right = std::max(a.x, b.x);
        const int top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
        const int64_t length = vertical ? bottom - top : right - left;
        if (length <= 0) continue;
        for (int yy = std::max(top, 0); yy < std::min(bottom, d.height); ++yy) {
            for (int xx = std::max(left, 0); xx < std::min(right, d.width); ++xx) {
                const int64_t position = vertical ? yy - top : xx - left;
                const uint32_t rgb = (uint32_t{Blend(a.Red, b.Red, position, length)} << 16) |
                                     (uint32_t{Blend(a.Green, b.Green, position, length)} << 8) |
                                     Blend(a.Blue, b.Blue, position, length);
                d.WriteRgb(xx, yy, rgb);
            }
        }
    }
    return true;
}

}  // namespace plat
