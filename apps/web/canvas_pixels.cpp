// Converting changed rectangles of the frame into the canvas's RGBA pixels.
#include "apps/web/canvas_pixels.h"

#include <algorithm>
#include <cstddef>

#include "surface/palette.h"

namespace quorvel::web {
namespace {

// ImageData's bytes are red, green, blue, alpha in memory: on the little-endian machine WebAssembly is,
// a 32-bit value with red in its low byte. Every pixel is opaque.
constexpr PixelFormat kRgba{0x000000FF, 0x0000FF00, 0x00FF0000, 32, false};
constexpr uint32_t kOpaque = 0xFF000000;

}  // namespace

CanvasPixels::CanvasPixels() : table_(BuildPixelTable(kPalette, kRgba)) {
    for (uint32_t& pixel : table_) pixel |= kOpaque;
}

void CanvasPixels::Resize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    rgba_.assign(static_cast<size_t>(width_) * height_ * 4, 0);
    for (size_t i = 3; i < rgba_.size(); i += 4) rgba_[i] = 0xFF;
    rects_.clear();
}

int CanvasPixels::Convert(const uint8_t* frame, int pitch, std::span<const PresentRect> rects) {
    rects_.clear();
    if (!frame) return 0;
    const int rowBytes = width_ * 4;
    for (const PresentRect& r : rects) {
        // The frame is as wide as the canvas rounded up to four pixels; the canvas is its own size.
        const int left = std::max(r.Left, 0), top = std::max(r.Top, 0);
        const int right = std::min(r.Left + r.Width, width_), bottom = std::min(r.Top + r.Height, height_);
        if (right <= left || bottom <= top) continue;
        ConvertRect(frame + static_cast<ptrdiff_t>(top) * pitch + left, pitch, right - left, bottom - top,
                         table_, kRgba, rgba_.data() + static_cast<ptrdiff_t>(top) * rowBytes + left * 4, rowBytes);
        rects_.insert(rects_.end(), {left, top, right - left, bottom - top});
    }
    return static_cast<int>(rects_.size() / 4);
}

}  // namespace quorvel::web
