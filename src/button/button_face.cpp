// Face painting: clear, gradient, then eight frame pieces from the skin; the skin's middle is never drawn.
#include "button/button_face.h"

#include <cstdlib>

#include "base/numeric.h"
#include "seam/paint.h"

namespace quorvel {
namespace {

constexpr uint32_t kGradientLight = 0xFFFFFF;  // white
constexpr uint32_t kGradientDark = 0xC6C5D7;   // (198, 197, 215) as 0x00RRGGBB

plat::TriVertex Vertex(int x, int y, uint32_t rgb) {
    plat::TriVertex v;
    v.x = x;
    v.y = y;
    // 16-bit intensities: the 8-bit value in the upper byte.
    v.Red = static_cast<uint16_t>(((rgb >> 16) & 0xFF) << 8);
    v.Green = static_cast<uint16_t>(((rgb >> 8) & 0xFF) << 8);
    v.Blue = static_cast<uint16_t>((rgb & 0xFF) << 8);
    return v;
}

void FillSolid(plat::Dc target, int widthPixels, int heightPixels, uint32_t rgb) {
    const plat::TriVertex vertices[2] = {Vertex(0, 0, rgb), Vertex(widthPixels, heightPixels, rgb)};
    const plat::GradientRect rect{0, 1};
    plat::GradientFill(target, vertices, 2, &rect, 1, plat::kGradientFillRectV);
}

}  // namespace

void FillFaceGradient(plat::Dc target, int widthPixels, int heightPixels, bool reverse) {
    const uint32_t top = reverse ? kGradientDark : kGradientLight;
    const uint32_t bottom = reverse ? kGradientLight : kGradientDark;
    const plat::TriVertex vertices[2] = {Vertex(0, 0, top), Vertex(widthPixels - 1, heightPixels - 1, bottom)};
    const plat::GradientRect rect{0, 1};
    plat::GradientFill(target, vertices, 2, &rect, 1, plat::kGradientFillRectV);
}

void ButtonFace::DrawFace(Skin skin, const FaceGeometry& g, bool reverseGradient) {
    const int widthPixels = TwipsToPixels(g.width, dpi_);
    const int heightPixels = TwipsToPixels(g.height, dpi_);
    FillSolid(target_, widthPixels, heightPixels, kFaceClearColour);
    FillFaceGradient(target_, widthPixels, heightPixels, reverseGradient);

    const plat::Dc source = skins_[static_cast<int>(skin)];
    plat::SetStretchBltMode(target_, plat::kColorOnColor);
    // Destination in the display's twips, source in the skin's own; the 1-twip offsets fall on pixel 0.
    auto piece = [&](int x, int y, int w, int h, int sx, int sy, int sw, int sh) {
        auto d = [&](int twips) { return TwipsToPixels(twips, dpi_); };
        auto s = [](int twips) { return TwipsToPixels(twips, kTwipsPerInch / kSkinTwipsPerPixel); };
        plat::StretchBlt(target_, d(x), d(y), d(w), d(h), source, s(sx), s(sy), s(sw), s(sh), plat::kSrcCopy);
    };
    const int c = g.corner;
    const int W = g.width, H = g.height;
    piece(1, 1, c, c, 0, 0, c, c);                                                    // top-left corner
    piece(c, 1, g.stretchX, c, c, 1, g.skinMiddleWidth, c);                           // top edge
    piece(W - c, 1, c, c, g.skinRightColumn, 1, c, c);                                // top-right corner
    piece(W - c, c, c, g.stretchY, g.skinRightColumn, c, c, g.skinMiddleHeight);      // right edge
    piece(W - c, H - c, c, c, g.skinRightColumn, g.skinBottomRow, c, c);              // bottom-right corner
    piece(c, H - c, g.stretchX, c, c, g.skinBottomRow, g.skinMiddleWidth, c);         // bottom edge
    piece(1, H - c, c, c, 0, g.skinBottomRow, c, c);                                  // bottom-left corner
    piece(1, c, c, g.stretchY, 1, c, c, g.skinMiddleHeight);                          // left edge

    if (refresh_) refresh_();
}

}  // namespace quorvel
