// Finding the lit tiles of a frame inside the tiles it drew on, and merging them into few copy rectangles.
#include "saver/changed_area.h"

#include <algorithm>
#include <cstring>

namespace quorvel {

static_assert(DirtyTiles::kTileWidth % ChangedArea::kTileWidth == 0 &&
                  DirtyTiles::kTileHeight % ChangedArea::kTileHeight == 0,
              "a drawn tile is made of whole changed-area tiles");

namespace {

bool AnyLit(const uint8_t* frame, int pitch, int x, int y, int width, int height) {
    for (int row = y; row < y + height; ++row) {
        const uint8_t* p = frame + static_cast<size_t>(row) * pitch + x;
        if (width == ChangedArea::kTileWidth) {
            uint64_t a, b;
            std::memcpy(&a, p, 8);
            std::memcpy(&b, p + 8, 8);
            if (a | b) return true;
        } else {
            for (int i = 0; i < width; ++i)
                if (p[i]) return true;
        }
    }
    return false;
}

}  // namespace

void ChangedArea::Reset(int width, int height) {
    grid_ = TileGrid(width, height, kTileWidth, kTileHeight);
    lit_.assign(static_cast<size_t>(grid_.columns) * grid_.rows, 0);
    litBefore_ = lit_;
    rowLit_.assign(static_cast<size_t>(grid_.rows), 0);
    rowLitBefore_ = rowLit_;
    rects_.clear();
    wholeNext_ = true;
}

void ChangedArea::Update(const DirtyTiles& drawn, std::span<const uint8_t* const> frames, int pitch) {
    lit_.swap(litBefore_);
    rowLit_.swap(rowLitBefore_);
    // Only rows that held something need clearing; on a large display that is a small part of the grid.
    for (int row = 0; row < grid_.rows; ++row)
        if (rowLit_[static_cast<size_t>(row)])
            std::memset(&lit_[static_cast<size_t>(row) * grid_.columns], 0, static_cast<size_t>(grid_.columns));
    std::fill(rowLit_.begin(), rowLit_.end(), uint8_t{0});
    // Buffers laid out otherwise than they were reset to cannot be searched: show them whole.
    const bool searchable = pitch >= grid_.width && drawn.Columns() * DirtyTiles::kTileWidth >= grid_.width &&
                            drawn.Rows() * DirtyTiles::kTileHeight >= grid_.height;
    whole_ = wholeNext_ || !searchable;
    wholeNext_ = !searchable;
    if (searchable)
        for (const uint8_t* frame : frames)
            if (frame) MarkLit(drawn, frame, pitch);
    rects_.clear();
    if (whole_) {
        if (grid_.width > 0 && grid_.height > 0) rects_.push_back({0, 0, grid_.width, grid_.height});
        return;
    }
    Merge();
}

void ChangedArea::MarkLit(const DirtyTiles& drawn, const uint8_t* frame, int pitch) {
    constexpr int across = DirtyTiles::kTileWidth / kTileWidth, down = DirtyTiles::kTileHeight / kTileHeight;
    for (int dirtyRow = 0; dirtyRow < drawn.Rows(); ++dirtyRow) {
        const uint8_t* dirty = drawn.Row(dirtyRow);
        for (int dirtyColumn = 0; dirtyColumn < drawn.Columns(); ++dirtyColumn) {
            if (!dirty[dirtyColumn]) continue;
            for (int row = dirtyRow * down; row < std::min((dirtyRow + 1) * down, grid_.rows); ++row) {
                uint8_t* lit = &lit_[static_cast<size_t>(row) * grid_.columns];
                const int y = row * kTileHeight, h = std::min(kTileHeight, grid_.height - y);
                for (int column = dirtyColumn * across; column < std::min((dirtyColumn + 1) * across, grid_.columns);
                     ++column) {
                    const int x = column * kTileWidth;
                    if (!lit[column] && AnyLit(frame, pitch, x, y, std::min(kTileWidth, grid_.width - x), h))
                        lit[column] = rowLit_[static_cast<size_t>(row)] = 1;
                }
            }
        }
    }
}

// Row by row, runs of changed tiles (bridging short gaps) extend the rectangles of the row above while the
// pixels that adds beyond the run's own cost less than another call; the rest start rectangles of their own.
void ChangedArea::Merge() {
    constexpr int kTilePixels = kTileWidth * kTileHeight;
    // Bridging a gap in a row of tiles saves a call and a tile's height of rows; stacking a run under a
    // rectangle saves only the call.
    constexpr int kGap = (kCallCostPixels + kTileHeight * kRowCostPixels) / kTilePixels;
    const int rows = grid_.rows, columns = grid_.columns;
    std::vector<Open>& open = open_;
    std::vector<Open>& next = next_;
    open.clear();
    auto emit = [this](const Open& o, int bottom) {
        const int left = o.left * kTileWidth, top = o.top * kTileHeight;
        rects_.push_back({left, top, std::min(o.right * kTileWidth, grid_.width) - left,
                          std::min(bottom * kTileHeight, grid_.height) - top});
    };
    for (int row = 0; row <= rows; ++row) {
        next.clear();
        const uint8_t* now = row < rows ? &lit_[static_cast<size_t>(row) * columns] : nullptr;
        const uint8_t* before = row < rows ? &litBefore_[static_cast<size_t>(row) * columns] : nullptr;
        const bool any = row < rows && (rowLit_[static_cast<size_t>(row)] | rowLitBefore_[static_cast<size_t>(row)]);
        for (int column = 0; any && column < columns;) {
            if (!(now[column] | before[column])) {
                ++column;
                continue;
            }
            int end = column + 1;
            for (int k = end; k < columns && k - end <= kGap; ++k)
                if (now[k] | before[k]) end = k + 1;
            bool merged = false;
            for (Open& o : open) {
                if (o.extended || column > o.right + kGap || end < o.left - kGap) continue;
                const int left = std::min(o.left, column), right = std::max(o.right, end), height = row - o.top;
                const int64_t extra = int64_t{right - left} * (height + 1) - int64_t{o.right - o.left} * height -
                                      (end - column);
                if (extra * kTilePixels > kCallCostPixels) continue;
                o = {left, right, o.top, true};
                merged = true;
                break;
            }
            if (!merged) next.push_back({column, end, row, true});
            column = end;
        }
        for (Open& o : open) {
            if (!o.extended) {
                emit(o, row);
                continue;
            }
            o.extended = false;
            next.push_back(o);
        }
        for (Open& o : next) o.extended = false;
        open.swap(next);
    }
}

int64_t ChangedArea::Pixels() const {
    int64_t pixels = 0;
    for (const PresentRect& r : rects_) pixels += int64_t{r.Width} * r.Height;
    return pixels;
}

}  // namespace quorvel
