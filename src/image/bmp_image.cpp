// The one BMP reader: the saver's sheets, the preview still, the tools and the tests all come through here.
#include "image/bmp_image.h"

#include <array>

namespace quorvel {
namespace {

uint32_t Le32(std::span<const uint8_t> b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}
uint16_t Le16(std::span<const uint8_t> b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

}  // namespace

bool DecodeBmp(std::span<const uint8_t> b, Image& image) {
    if (b.size() < kFileHeaderSize + kInfoHeaderSize || b[0] != 'B' || b[1] != 'M') return false;
    const uint64_t offset = Le32(b, 10);
    const uint64_t headerSize = Le32(b, 14);
    const int32_t width = static_cast<int32_t>(Le32(b, 18));
    const int32_t rawHeight = static_cast<int32_t>(Le32(b, 22));
    const uint16_t planes = Le16(b, 26);
    const uint16_t bits = Le16(b, 28);
    const uint32_t compression = Le32(b, 30);
    uint64_t colours = Le32(b, 46);
    if (headerSize < kInfoHeaderSize || planes != 1 || compression != 0) return false;
    if (bits != 8 && bits != 24 && bits != 32) return false;
    if (width <= 0 || width > kMaxBmpSide || rawHeight == 0 || rawHeight > kMaxBmpSide || rawHeight < -kMaxBmpSide)
        return false;
    const bool topDown = rawHeight < 0;
    const int height = topDown ? -rawHeight : rawHeight;
    const uint64_t stride = (uint64_t(width) * bits + 31) / 32 * 4;
    if (offset + stride * uint64_t(height) > b.size()) return false;

    std::array<uint32_t, 256> table{};
    if (bits == 8) {
        if (colours == 0) colours = 256;
        if (colours > 256) return false;
        const uint64_t tableAt = kFileHeaderSize + headerSize;
        if (tableAt + colours * 4 > b.size()) return false;
        for (size_t i = 0; i < colours; ++i) {
            const size_t at = static_cast<size_t>(tableAt) + 4 * i;
            table[i] = (uint32_t{b[at + 2]} << 16) | (uint32_t{b[at + 1]} << 8) | b[at];
        }
    }
    Image decoded(width, height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = b.data() + offset + stride * static_cast<uint64_t>(topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            if (bits == 8) {
                decoded.At(x, y) = table[row[x]];
            } else {
                const uint8_t* p = row + x * (bits / 8);
                decoded.At(x, y) = (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
            }
        }
    }
    image = std::move(decoded);
    return true;
}

}  // namespace quorvel
