// The canvas's pixels as the page's ImageData holds them (RGBA, opaque), kept in the module's memory so that
// the page puts any rectangle of them straight from there. Only the rectangles that changed are converted from
// the 8-bit frame through the palette, and the page is told which they are.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "surface/pixel_table.h"
#include "saver/changed_area.h"

namespace quorvel::web {

class CanvasPixels {
public:
    CanvasPixels();

    // Pixels of the new size, all black, and nothing to put yet.
    void Resize(int width, int height);
    // Each rectangle of `frame` (pitch bytes a row), cut to the canvas, converted; returns how many are left
    // for the page to put.
    int Convert(const uint8_t* frame, int pitch, std::span<const PresentRect> rects);

    const uint8_t* Data() const { return rgba_.data(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Left, top, width and height of each rectangle the last conversion left to put.
    const int32_t* Rects() const { return rects_.data(); }

private:
    int width_ = 0, height_ = 0;
    std::vector<uint8_t> rgba_;
    std::vector<int32_t> rects_;
    PixelTable table_;
};

}  // namespace quorvel::web
