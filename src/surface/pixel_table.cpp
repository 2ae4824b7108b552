// Palette entries to pixel values, and 8-bit rows to rows of pixels.
#include "surface/pixel_table.h"

#include <algorithm>
#include <bit>
#include <iterator>
#include <cstddef>
#include <cstring>

namespace quorvel {
namespace {

// A mask is one run of set bits; its width and where it starts.
struct Channel {
    int shift = 0, bits = 0;
};

Channel ChannelOf(uint32_t mask) {
    if (mask == 0) return {};
    return {std::countr_zero(mask), std::popcount(mask)};
}

bool OneRun(uint32_t mask) {
    const Channel c = ChannelOf(mask);
    return c.bits >= 1 && c.bits <= 16 && (mask >> c.shift) == (uint32_t{1} << c.bits) - 1;
}

// 8 bits to `bits` bits, rounded, so that 255 stays full on and 0 stays off at any width.
uint32_t Scale(uint8_t value, const Channel& c) {
    const uint32_t top = (uint32_t{1} << c.bits) - 1;
    return ((value * top + 127) / 255) << c.shift;
}

// 32-bit pixels in the host's order, the usual format. Most of a changed rectangle is black, where a crawler
// was or is about to be: eight indices of 0 at once become eight copies of entry 0, stores the compiler widens.
void ConvertRows32(const uint8_t* source, int sourcePitch, int width, int height, const PixelTable& table,
                   uint8_t* destination, int imagePitch) {
    const uint32_t black = table[0];
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = source + static_cast<ptrdiff_t>(y) * sourcePitch;
        uint32_t row[8];
        uint8_t* out = destination + static_cast<ptrdiff_t>(y) * imagePitch;
        int x = 0;
        for (; x + 8 <= width; x += 8) {
            uint64_t eight;
            std::memcpy(&eight, in + x, 8);
            if (eight == 0)
                std::fill(std::begin(row), std::end(row), black);
            else
                for (int k = 0; k < 8; ++k) row[k] = table[in[x + k]];
            std::memcpy(out + 4 * x, row, sizeof row);
        }
        for (; x < width; ++x) std::memcpy(out + 4 * x, &table[in[x]], 4);
    }
}

template <int Bytes, bool MostSignificantFirst>
void ConvertRows(const uint8_t* source, int sourcePitch, int width, int height, const PixelTable& table,
                 uint8_t* destination, int imagePitch) {
    if constexpr (Bytes == 4 && !MostSignificantFirst) {
        ConvertRows32(source, sourcePitch, width, height, table, destination, imagePitch);
        return;
    }
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = source + static_cast<ptrdiff_t>(y) * sourcePitch;
        uint8_t* out = destination + static_cast<ptrdiff_t>(y) * imagePitch;
        for (int x = 0; x < width; ++x, out += Bytes) {
            const uint32_t pixel = table[in[x]];
            if constexpr (!MostSignificantFirst && (Bytes == 4 || Bytes == 2)) {
                // The machine's own order on the little-endian hosts the program is built for.
                if constexpr (Bytes == 4) std::memcpy(out, &pixel, 4);
                else {
                    const uint16_t half = static_cast<uint16_t>(pixel);
                    std::memcpy(out, &half, 2);
                }
            } else {
                for (int b = 0; b < Bytes; ++b) {
                    const int shift = MostSignificantFirst ? 8 * (Bytes - 1 - b) : 8 * b;
                    out[b] = static_cast<uint8_t>(pixel >> shift);
                }
            }
        }
    }
}

template <bool MostSignificantFirst>
void ConvertIn(int bytes, const uint8_t* source, int sourcePitch, int width, int height, const PixelTable& table,
               uint8_t* destination, int imagePitch) {
    switch (bytes) {
    case 4: return ConvertRows<4, MostSignificantFirst>(source, sourcePitch, width, height, table, destination, imagePitch);
    case 3: return ConvertRows<3, MostSignificantFirst>(source, sourcePitch, width, height, table, destination, imagePitch);
    case 2: return ConvertRows<2, MostSignificantFirst>(source, sourcePitch, width, height, table, destination, imagePitch);
    }
}

}  // namespace

static_assert(std::endian::native == std::endian::little, "the fast rows write the host's own byte order");

bool Supported(const PixelFormat& f) {
    return (f.bitsPerPixel == 16 || f.bitsPerPixel == 24 || f.bitsPerPixel == 32) && OneRun(f.redMask) &&
           OneRun(f.greenMask) && OneRun(f.blueMask) && (f.redMask & f.greenMask) == 0 &&
           (f.redMask & f.blueMask) == 0 && (f.greenMask & f.blueMask) == 0 &&
           (f.bitsPerPixel == 32 || ((f.redMask | f.greenMask | f.blueMask) >> f.bitsPerPixel) == 0);
}

PixelTable BuildPixelTable(const std::array<Rgb, 256>& palette, const PixelFormat& format) {
    const Channel red = ChannelOf(format.redMask), green = ChannelOf(format.greenMask), blue = ChannelOf(format.blueMask);
    PixelTable table{};
    for (size_t i = 0; i < palette.size(); ++i)
        table[i] = Scale(palette[i].red, red) | Scale(palette[i].green, green) | Scale(palette[i].blue, blue);
    return table;
}

void ConvertRect(const uint8_t* source, int sourcePitch, int width, int height, const PixelTable& table,
                 const PixelFormat& format, uint8_t* destination, int imagePitch) {
    const int bytes = format.bitsPerPixel / 8;
    if (format.mostSignificantFirst)
        ConvertIn<true>(bytes, source, sourcePitch, width, height, table, destination, imagePitch);
    else
        ConvertIn<false>(bytes, source, sourcePitch, width, height, table, destination, imagePitch);
}

}  // namespace quorvel
