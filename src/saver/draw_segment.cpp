// One body part into both frame buffers: its sheet picture by kind, its square clipped to the display.
#include <algorithm>
#include <cstdint>

#include "base/numeric.h"
#include "saver/saver_core.h"

namespace quorvel {

namespace {

bool Fits16(int v) { return v >= INT16_MIN && v <= INT16_MAX; }

}  // namespace

std::optional<SegmentBlit> PlanSegment(int16_t x, int16_t y, float heading, int16_t kind, float scale,
                                       int16_t displayWidth, int16_t displayHeight) {
    if (kind < 0 || kind >= static_cast<int16_t>(kSpriteCells.size())) return std::nullopt;
    const SpriteCell& cell = kSpriteCells[static_cast<size_t>(kind)];
    const auto reach = ToInt16(cell.Reach * static_cast<double>(scale));
    if (!reach) return std::nullopt;
    int left = x - *reach;
    int top = y - *reach;
    if (left >= displayWidth || top >= displayHeight) return std::nullopt;
    int right = x + *reach;
    int bottom = y + *reach;
    if (right <= 0 || bottom <= 0) return std::nullopt;
    if (!Fits16(left) || !Fits16(top) || !Fits16(right) || !Fits16(bottom)) return std::nullopt;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, static_cast<int>(displayWidth));
    bottom = std::min(bottom, static_cast<int>(displayHeight));
    // An empty square (a scale that rounds the reach to 0) would draw nothing anyway.
    if (right <= left || bottom <= top) return std::nullopt;
    return SegmentBlit{static_cast<int16_t>(left),
                       static_cast<int16_t>(top),
                       static_cast<int16_t>(x - left),
                       static_cast<int16_t>(y - top),
                       static_cast<int16_t>(right - left),
                       static_cast<int16_t>(bottom - top),
                       cell.SourceX,
                       cell.SourceY,
                       cell.PivotX,
                       cell.PivotY,
                       cell.Width,
                       cell.Height,
                       heading,
                       scale,
                       -1};
}

std::optional<SegmentBlit> SaverCore::PlanDrawnSegment(int16_t x, int16_t y, float heading, int16_t kind,
                                                       float scale) const {
    auto blit = PlanSegment(x, y, heading, kind, scale, FrameWidth, FrameHeight);
    if (!blit) return blit;
    // Index 0 is never drawn, so the picture's box can shrink to its other pixels; the pivot stays where it is
    // on the sheet, and every sample lands where it did. Only for the sheets the boxes were found on.
    if (blit->Key < 0 && Surfaces[0] && Surfaces[2] && opaqueSheets_[0] == Surfaces[0]->GetPointer() &&
        opaqueSheets_[1] == Surfaces[2]->GetPointer() && opaqueSheets_[0]) {
        const OpaqueBox& box = opaque_[static_cast<size_t>(kind)];
        blit->SrcLeft = static_cast<int16_t>(blit->SrcLeft + box.Left);
        blit->SrcTop = static_cast<int16_t>(blit->SrcTop + box.Top);
        blit->SrcPivotX = static_cast<int16_t>(blit->SrcPivotX - box.Left);
        blit->SrcPivotY = static_cast<int16_t>(blit->SrcPivotY - box.Top);
        blit->SrcWidth = box.Width;
        blit->SrcHeight = box.Height;
    }
    return blit;
}

void SaverCore::DrawSegment(int16_t x, int16_t y, float heading, int16_t kind, float scale) {
    if (const auto blit = PlanDrawnSegment(x, y, heading, kind, scale)) DrawBlit(*blit);
}

void SaverCore::DrawBlit(const SegmentBlit& blit) {
    drawn_.Mark(blit.DestLeft, blit.DestTop, blit.DestWidth, blit.DestHeight);
    if (blit.SrcWidth == 0) return;  // a picture with nothing but index 0
    // Both buffers get the same geometry, each from its own sheet.
    for (int sheet = drawn1_ ? 0 : 2; sheet < 4; sheet += 2) {
        Tavrin_C* source = Surfaces[sheet].get();
        Tavrin_C* frame = Surfaces[sheet + 1].get();
        if (!source || !frame) continue;
        frame->ScaleRotate(*source, blit.DestLeft, blit.DestTop, blit.DestPivotX, blit.DestPivotY, blit.DestWidth,
                           blit.DestHeight, blit.SrcLeft, blit.SrcTop, blit.SrcPivotX, blit.SrcPivotY,
                           blit.SrcWidth, blit.SrcHeight, blit.Angle, blit.Zoom, blit.Key);
    }
}

}  // namespace quorvel
