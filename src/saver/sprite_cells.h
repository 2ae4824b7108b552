// Where each picture of a crawler sits on the 256 x 256 sprite sheet, where it turns, and how far it reaches.
#pragma once

#include <array>
#include <cstdint>

namespace quorvel {

enum SegmentKind : int16_t { kBodyRingA = 0, kBodyRingB = 1, kHead = 2, kTail = 3 };

struct SpriteCell {
    int16_t SourceX, SourceY;  // top-left corner of the picture on the sheet
    int16_t Width, Height;
    int16_t PivotX, PivotY;  // the point that lands on the trail point, from the picture's top-left corner
    int16_t Reach;           // half-side, at scale 1, of the square the picture is drawn into
};

// Indexed by SegmentKind. The pictures face +x; rings are crescents hollow at the back, the head's snout is
// at its right, the tail tapers to the left with its joint at the pivot.
inline constexpr std::array<SpriteCell, 4> kSpriteCells = {{
    {0, 0, 62, 66, 15, 32, 44},
    {63, 0, 62, 66, 15, 32, 44},
    {126, 0, 130, 82, 15, 40, 120},
    {1, 84, 184, 66, 137, 32, 140},
}};

inline constexpr int kSheetSize = 256;

}  // namespace quorvel
