// Tile bookkeeping for clearing only what the last frame drew.
#include "saver/dirty_tiles.h"

#include <algorithm>
#include <cstring>

namespace quorvel {

TileGrid::TileGrid(int bufferWidth, int bufferHeight, int tileWidth, int tileHeight)
    : width(std::max(bufferWidth, 0)), height(std::max(bufferHeight, 0)),
      columns((width + tileWidth - 1) / tileWidth), rows((height + tileHeight - 1) / tileHeight) {}

void DirtyTiles::Reset(int width, int height) {
    grid_ = TileGrid(width, height, kTileWidth, kTileHeight);
    dirty_.assign(static_cast<size_t>(grid_.columns) * grid_.rows, 1);
}

void DirtyTiles::Mark(int left, int top, int width, int height) {
    const int right = std::min(left + width, grid_.width), bottom = std::min(top + height, grid_.height);
    left = std::max(left, 0);
    top = std::max(top, 0);
    if (right <= left || bottom <= top) return;
    for (int row = top / kTileHeight; row <= (bottom - 1) / kTileHeight; ++row)
        std::memset(&dirty_[static_cast<size_t>(row) * grid_.columns + left / kTileWidth], 1,
                    static_cast<size_t>((right - 1) / kTileWidth - left / kTileWidth + 1));
}

void DirtyTiles::ClearDirty(uint8_t* bits, int pitch) const {
    if (!bits || pitch < grid_.width) return;
    for (int row = 0; row < grid_.rows; ++row) {
        const uint8_t* flags = &dirty_[static_cast<size_t>(row) * grid_.columns];
        const int y0 = row * kTileHeight, y1 = std::min(y0 + kTileHeight, grid_.height);
        // Runs of neighbouring dirty tiles are cleared with one fill per pixel row.
        for (int column = 0; column < grid_.columns;) {
            if (!flags[column]) {
                ++column;
                continue;
            }
            int end = column;
            while (end < grid_.columns && flags[end]) ++end;
            const int x0 = column * kTileWidth, x1 = std::min(end * kTileWidth, grid_.width);
            for (int y = y0; y < y1; ++y) std::memset(bits + static_cast<size_t>(y) * pitch + x0, 0, static_cast<size_t>(x1 - x0));
            column = end;
        }
    }
}

void DirtyTiles::Forget() { std::fill(dirty_.begin(), dirty_.end(), uint8_t{0}); }

}  // namespace quorvel
