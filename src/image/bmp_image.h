// Pictures as the program carries them: BMP file bytes decoded into plain 24-bit colour.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quorvel {

// A 24-bit picture, top row first, each pixel 0x00RRGGBB (so a row's bytes are a top-down 32-bit DIB's).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Image() = default;
    Image(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The largest side a picture may have; it keeps every size computation far from overflow.
inline constexpr int kMaxBmpSide = 16384;

// Decodes an uncompressed 8-, 24- or 32-bit BMP file, bottom-up or top-down. Every offset and size is checked
// against the bytes given before it is used; false, with `image` untouched, when anything does not fit.
bool DecodeBmp(std::span<const uint8_t> file, Image& image);

}  // namespace quorvel
