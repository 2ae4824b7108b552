// Picture files for the generators, the headless renderer and the tests: BMP in and out, PNG out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel {

// A 24-bit picture, top row first, each pixel 0x00RRGGBB.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Image() = default;
    Image(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Reads uncompressed 8-, 24- and 32-bit BMP files, bottom-up or top-down.
bool ReadBmp(const std::string& path, Image& image);
bool ReadBmp(const std::vector<uint8_t>& file, Image& image);
bool WriteBmp24(const std::string& path, const Image& image);
std::vector<uint8_t> EncodeBmp24(const Image& image);
bool WritePng(const std::string& path, const Image& image);

}  // namespace quorvel
