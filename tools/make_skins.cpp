// Draws the Command button's five skin pictures (64 x 25, 24-bit) from their frame colours.
// Usage: make_skins [output folder]   (default: the project's assets folder)
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "image/image_file.h"

namespace {

using quorvel::Image;

constexpr int kWidth = 64;
constexpr int kHeight = 25;
constexpr int kMiddleRow = 12;
constexpr int kFirstSideRow = 4;
constexpr int kLastSideRow = 20;
constexpr uint32_t kBackground = 0xECE9D8;  // the dialog face the rounded corners blend into

// One inner side column's shading: its colour at row 4, across the middle (row 12) and at row 20.
struct Shade {
    uint32_t top, middle, bottom;
};

struct SkinArt {
    const char* file;
    // The frame across the middle of each side, outermost pixel first.
    std::array<uint32_t, 4> top, bottom, left, right;
    int outline;  // index of the outline pixel counted from the edge: 1, or 2 when an outer ring surrounds it
    // Side columns 0..3 on the left and 63..60 on the right, along rows 4..20.
    std::array<Shade, 4> leftShade, rightShade;
};

Shade Flat(uint32_t c) { return {c, c, c}; }

uint32_t Mix(uint32_t a, uint32_t b, double t) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        const int c = static_cast<int>(ca + (cb - ca) * t + 0.5);
        out |= static_cast<uint32_t>(c) << shift;
    }
    return out;
}

// The colour of a side column at a row between 4 and 20, through its middle value at row 12.
uint32_t ShadeAt(const Shade& shade, int row) {
    if (row <= kMiddleRow) return Mix(shade.top, shade.middle, double(row - kFirstSideRow) / (kMiddleRow - kFirstSideRow));
    return Mix(shade.middle, shade.bottom, double(row - kMiddleRow) / (kLastSideRow - kMiddleRow));
}

std::array<Shade, 4> SideShades(const std::array<uint32_t, 4>& frame, Shade inner2, Shade inner3) {
    return {Flat(frame[0]), Flat(frame[1]), inner2, inner3};
}

// Side columns 2 and 3 shading from `ends` (column 2 at rows 4 and 20, then column 3) through the frame's colour.
std::array<Shade, 4> WithMiddles(const std::array<uint32_t, 4>& frame, const std::array<uint32_t, 4>& ends) {
    return SideShades(frame, {ends[0], frame[2], ends[1]}, {ends[2], frame[3], ends[3]});
}

// A 4 x 4 corner seen as the top-left one: (x, y) counted from the corner's outer edges.
// `outerH` is the outer colour of the horizontal side (top or bottom), `outerV` of the vertical side,
// `outline` the outline colour and `inner` the face colour just inside the corner.
uint32_t CornerPixel(int x, int y, int outlineIndex, uint32_t outerH, uint32_t outerV, uint32_t outline, uint32_t inner) {
    const uint32_t outer = Mix(outerH, outerV, 0.5);
    if (outlineIndex == 2) {
        // An outer ring of the background, then the same rounding one pixel further in.
        if (x == 0 || y == 0) return kBackground;
        --x;
        --y;
        if (x == 0 && y == 0) return Mix(kBackground, outer, 0.5);
        if (x + y == 1) return Mix(kBackground, outer, 0.75);
        if (x == 2 && y == 0) return outerH;
        if (x == 0 && y == 2) return outerV;
        if (x == 1 && y == 1) return Mix(outline, outer, 0.5);
        if (x + y == 3) return Mix(outline, outer, 0.15);
        return Mix(outline, inner, 0.35);  // (2, 2)
    }
    if (x == 0 && y == 0) return Mix(kBackground, outer, 0.5);
    if (x + y == 1) return Mix(kBackground, outer, 0.6);
    if (y == 0) return Mix(kBackground, outerH, x == 2 ? 0.7 : 0.8);
    if (x == 0) return Mix(kBackground, outerV, y == 2 ? 0.7 : 0.8);
    if (x == 1 && y == 1) return Mix(kBackground, outer, 0.5);
    if (x + y == 3) return Mix(outline, outer, 0.5);  // (2, 1) and (1, 2)
    if (x + y == 4 && x != 2) return Mix(outline, outer, 0.15);  // (3, 1) and (1, 3)
    if (x == 2 && y == 2) return Mix(outline, inner, 0.35);
    if (x + y == 5) return Mix(outline, inner, 0.75);
    return inner;  // (3, 3)
}

// The hand-drawn top-left corner of the normal skin, row by row.
constexpr uint32_t kNormalTopLeft[4][4] = {
    {0xE9E7D5, 0xE4DFCE, 0xE1DDCA, 0xE0DCC9},
    {0xE4DFCE, 0xE6E1D0, 0x7A95A8, 0x255783},
    {0xE2DECB, 0x7A95A8, 0x557DA2, 0xC0CFDD},
    {0xE2DECB, 0x255783, 0xBFCEDC, 0xFEFEFE},
};

Image Draw(const SkinArt& art, bool handDrawnCorner) {
    Image image(kWidth, kHeight, art.top[3]);
    // The middle is never shown; a soft fill keeps the picture readable on its own.
    for (int y = 4; y <= 20; ++y)
        for (int x = 4; x <= 59; ++x) image.At(x, y) = Mix(art.top[3], art.bottom[3], double(y - 4) / 16);
    for (int i = 0; i < 4; ++i) {
        for (int x = 4; x <= 59; ++x) {
            image.At(x, i) = art.top[i];
            image.At(x, kHeight - 1 - i) = art.bottom[i];
        }
        for (int y = kFirstSideRow; y <= kLastSideRow; ++y) {
            image.At(i, y) = ShadeAt(art.leftShade[i], y);
            image.At(kWidth - 1 - i, y) = ShadeAt(art.rightShade[i], y);
        }
    }
    const int k = art.outline;
    const uint32_t outline = art.top[k];
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const int right = kWidth - 1 - x, bottom = kHeight - 1 - y;
            image.At(x, y) = CornerPixel(x, y, k, art.top[k - 1], art.left[k - 1], outline, art.leftShade[3].top);
            image.At(right, y) = CornerPixel(x, y, k, art.top[k - 1], art.right[k - 1], outline, art.rightShade[3].top);
            image.At(x, bottom) =
                CornerPixel(x, y, k, art.bottom[k - 1], art.left[k - 1], outline, art.leftShade[3].bottom);
            image.At(right, bottom) =
                CornerPixel(x, y, k, art.bottom[k - 1], art.right[k - 1], outline, art.rightShade[3].bottom);
            if (handDrawnCorner) image.At(x, y) = kNormalTopLeft[y][x];
        }
    }
    return image;
}

// The skins outlined on the second pixel whose inner side columns shade through the frame's colour: the frame
// colours, then the shading's ends on the left and on the right (as WithMiddles takes them).
struct ShadedSkin {
    const char* file;
    std::array<uint32_t, 4> top, bottom, left, right, leftEnds, rightEnds;
};

constexpr ShadedSkin kShadedSkins[] = {
    {"skin_normal.bmp", {0xDCD6C2, 0x003C74, 0xF3F3EE, 0xF3F3EE}, {0xFAFAF6, 0x003C74, 0xD6D0C5, 0xE2DFD6},
     {0xE2DECB, 0x003C74, 0xF4F4F0, 0xF4F4F0}, {0xF0EEE0, 0x003C74, 0xE8E5DF, 0xEEEDE7},
     {0xFDFDFC, 0xECEBE6, 0xFDFDFC, 0xECEBE6}, {0xF6F4F2, 0xE0DDD4, 0xF6F4F2, 0xE0DDD4}},
    {"skin_highlight.bmp", {0xDCD6C2, 0x003C74, 0xFFF0CF, 0xFDD889}, {0xFAFAF6, 0x003C74, 0xE59700, 0xF8B330},
     {0xE2DECB, 0x003C74, 0xFCCA69, 0xFBCA6A}, {0xF0EEE0, 0x003C74, 0xFCCA69, 0xFBCA6A},
     {0xFEDF9A, 0xF9B435, 0xFCD279, 0xF8B535}, {0xFEDF9A, 0xF9B435, 0xFCD279, 0xF8B535}},
    {"skin_selected.bmp", {0xDCD6C2, 0x003C74, 0xCEE7FF, 0xCEE7FF}, {0xFAFAF6, 0x003C74, 0x6982EE, 0x6982EE},
     {0xE2DECB, 0x003C74, 0xA9C5EF, 0xA8C6F0}, {0xF0EEE0, 0x003C74, 0xA9C5EF, 0xA9C5EF},
     {0xB7D0F4, 0x8BADE4, 0xB7D0F4, 0x8BADE4}, {0xB7D0F4, 0x8BADE4, 0xB7D0F4, 0x8BADE4}},
};

SkinArt Shaded(const ShadedSkin& skin) {
    return {skin.file, skin.top, skin.bottom, skin.left, skin.right, 1, WithMiddles(skin.left, skin.leftEnds),
            WithMiddles(skin.right, skin.rightEnds)};
}

std::array<SkinArt, 5> Skins() {
    SkinArt pressed{"skin_pressed.bmp",
                    {0xECE9D8, 0xDCD6C2, 0x003C74, 0xD1CCC1},
                    {0xECE9D8, 0xFAFAF6, 0x003C74, 0xF2F1EE},
                    {0xECE9D8, 0xE2DECB, 0x003C74, 0xD7D4CB},
                    {0xECE9D8, 0xF0EEE0, 0x003C74, 0xE4E3DC},
                    2,
                    {},
                    {}};
    const Shade pressedOutline{0x255783, 0x003C74, 0x164D7E};
    pressed.leftShade = {Flat(pressed.left[0]), Flat(pressed.left[1]), pressedOutline, Flat(pressed.left[3])};
    pressed.rightShade = {Flat(pressed.right[0]), Flat(pressed.right[1]), pressedOutline, Flat(pressed.right[3])};

    const std::array<uint32_t, 4> disabledFrame{0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA};
    SkinArt disable{"skin_disable.bmp", disabledFrame, disabledFrame, disabledFrame, disabledFrame, 2, {}, {}};
    disable.leftShade = SideShades(disabledFrame, Flat(disabledFrame[2]), Flat(disabledFrame[3]));
    disable.rightShade = disable.leftShade;

    return {Shaded(kShadedSkins[0]), Shaded(kShadedSkins[1]), Shaded(kShadedSkins[2]), pressed, disable};
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : std::string(QUORVEL_SOURCE_DIR) + "/assets";
    int failures = 0;
    for (const SkinArt& art : Skins()) {
        const bool normal = std::string(art.file) == "skin_normal.bmp";
        const std::string path = folder + "/" + art.file;
        if (!quorvel::WriteBmp24(path, Draw(art, normal))) {
            std::fprintf(stderr, "make_skins: cannot write %s\n", path.c_str());
            ++failures;
        } else {
            std::printf("%s\n", path.c_str());
        }
    }
    return failures == 0 ? 0 : 1;
}
