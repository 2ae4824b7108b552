// Which parts of a frame buffer the last frame drew on, so the next frame clears only those.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvel {

// A buffer's size (a negative one taken as 0) and the grid of tiles that covers it; the last tile of a row or a
// column may reach past the buffer.
struct TileGrid {
    TileGrid() = default;
    TileGrid(int bufferWidth, int bufferHeight, int tileWidth, int tileHeight);
    int width = 0, height = 0, columns = 0, rows = 0;
};

// The buffer is cut into tiles; a tile any drawing touched is dirty and is zeroed before the next frame,
// the rest are still zero from the last clear. Until the first clear everything counts as dirty.
class DirtyTiles {
public:
    static constexpr int kTileWidth = 64;
    static constexpr int kTileHeight = 8;

    // A width x height buffer whose contents are unknown: the first clear covers all of it.
    void Reset(int width, int height);
    // Drawing may have touched this rectangle (clipped to the buffer).
    void Mark(int left, int top, int width, int height);
    // Zeroes the dirty tiles of one buffer of the size given to Reset; the marks stay until Forget.
    void ClearDirty(uint8_t* bits, int pitch) const;
    // Every tile is zero again.
    void Forget();

    int Columns() const { return grid_.columns; }
    int Rows() const { return grid_.rows; }
    // One flag a tile of this row of tiles, non-zero where drawing may have touched it.
    const uint8_t* Row(int row) const { return &dirty_[static_cast<size_t>(row) * grid_.columns]; }

private:
    TileGrid grid_;
    std::vector<uint8_t> dirty_;
};

}  // namespace quorvel
