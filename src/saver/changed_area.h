// What presenting a frame must copy. Where a pixel is black in this frame and was black in the one last presented,
// the screen already shows black and copying either buffer would leave it so: only small tiles holding a pixel
// lit in one of the two frames need copying, and they are a few percent of a large display.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "saver/dirty_tiles.h"

namespace quorvel {

struct PresentRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

class ChangedArea {
public:
    static constexpr int kTileWidth = 16;
    static constexpr int kTileHeight = 4;
    // What a copy costs beyond its pixels, in pixels of the same cost: each call, and each row of a rectangle.
    // Two pieces are copied as one rectangle when the pixels that adds cost less than what it saves. Measured
    // under Wine with tools/win32/present_floor.exe --pieces: a 64 x 64 piece costs far more than its area
    // does in one large copy, and many 16 x 4 pieces more again, about in proportion to their rows.
    static constexpr int kCallCostPixels = 320;
    static constexpr int kRowCostPixels = 128;

    // Buffers of this size, with nothing known of what the screen shows: the next frame presents whole.
    void Reset(int width, int height);

    // A frame has been drawn into `frames` (each `pitch` bytes a row, of the size given to Reset), and nothing
    // lies outside the tiles `drawn` marks. Finds its lit tiles and the rectangles to copy: those lit now or at
    // the last update. A null frame has nothing lit.
    void Update(const DirtyTiles& drawn, std::span<const uint8_t* const> frames, int pitch);

    // The last update asks for the whole buffers (the first frame after Reset).
    bool Whole() const { return whole_; }
    std::span<const PresentRect> Rects() const { return rects_; }
    // Pixels the last update's copies cover, for each buffer.
    int64_t Pixels() const;

private:
    struct Open {
        int left, right, top;  // in tiles; rows from top to the one being merged
        bool extended;
    };

    void MarkLit(const DirtyTiles& drawn, const uint8_t* frame, int pitch);
    void Merge();

    TileGrid grid_;
    bool whole_ = false, wholeNext_ = true;
    std::vector<uint8_t> lit_, litBefore_;          // one flag a tile
    std::vector<uint8_t> rowLit_, rowLitBefore_;    // one flag a row of tiles: any of it lit
    std::vector<PresentRect> rects_;
    std::vector<Open> open_, next_;  // kept between frames, so merging allocates nothing once warmed up
};

}  // namespace quorvel
