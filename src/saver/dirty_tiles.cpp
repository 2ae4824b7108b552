// Tile bookkeeping for clearing only what the last frame drew.
#include "saver/dirty_tiles.h"

#include <algorithm>
#include <cstring>

namespace quorvel {

void DirtyTiles::Reset(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    columns_ = (width_ + kTileWidth - 1) / kTileWidth;
    rows_ = (height_ + kTileHeight - 1) / kTileHeight;
    dirty_.assign(static_cast<size_t>(columns_) * rows_, 1);
}

void DirtyTiles::Mark(int left, int top, int width, int height) {
    const int right = std::min(left + width, width_), bottom = std::min(top + height, height_);
    left = std::max(left, 0);
    top = std::max(top, 0);
    if (right <= left || bottom <= top) return;
    for (int row = top / kTileHeight; row <= (bottom - 1) / kTileHeight; ++row)
        std::memset(&dirty_[static_cast<size_t>(row) * columns_ + left / kTileWidth], 1,
                    static_cast<size_t>((right - 1) / kTileWidth - left / kTileWidth + 1));
}

void DirtyTiles::ClearDirty(uint8_t* bits, int pitch) const {
    if (!bits || pitch < width_) return;
    for (int row = 0; row < rows_; ++row) {
        const uint8_t* flags = &dirty_[static_cast<size_t>(row) * columns_];
        const int y0 = row * kTileHeight, y1 = std::min(y0 + kTileHeight, height_);
        // Runs of neighbouring dirty tiles are cleared with one fill per pixel row.
        for (int column = 0; column < columns_;) {
            if (!flags[column]) {
                ++column;
                continue;
            }
            int end = column;
            while (end < columns_ && flags[end]) ++end;
            const int x0 = column * kTileWidth, x1 = std::min(end * kTileWidth, width_);
            for (int y = y0; y < y1; ++y) std::memset(bits + static_cast<size_t>(y) * pitch + x0, 0, static_cast<size_t>(x1 - x0));
            column = end;
        }
    }
}

void DirtyTiles::Forget() { std::fill(dirty_.begin(), dirty_.end(), uint8_t{0}); }

}  // namespace quorvel
