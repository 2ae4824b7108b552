// Painted pixels of a Command face: gradient, frame pieces, orientation by state; and the in-memory paint calls.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "base/numeric.h"
#include "button/button_face.h"
#include "button/command.h"
#include "platform/gdi.h"
#include "platform/memory/memory_gdi.h"
#include "platform/paint.h"

namespace quorvel {
namespace {

using plat::memory::PixelRgb;
using plat::memory::SetPixelRgb;

std::string Hex(uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "%06X", rgb);
    return text;
}

// A memory DC holding a fresh 32-bit bitmap.
plat::Dc MemoryDc(int width, int height) {
    plat::Dc dc = plat::CreateCompatibleDC(nullptr);
    plat::BitmapInfo256 info{};
    info.header.biSize = sizeof(plat::BitmapInfoHeader);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 32;
    void* bits = nullptr;
    plat::Bitmap bitmap = plat::CreateDIBSection(dc, &info, plat::kDibRgbColors, &bits);
    plat::SelectObject(dc, bitmap);
    return dc;
}

// Every pixel of a synthetic skin says where it came from: red = x, green = y, blue = skin * 32 + (1 in the middle).
uint32_t SkinPixel(int skin, int x, int y) {
    const bool middle = x >= 4 && x <= 59 && y >= 4 && y <= 20;
    return (uint32_t(x) << 16) | (uint32_t(y) << 8) | uint32_t(skin * 32 + (middle ? 1 : 0));
}

ButtonFace::Skins SyntheticSkins() {
    ButtonFace::Skins skins{};
    for (int s = 0; s < kSkinCount; ++s) {
        skins[s] = MemoryDc(kSkinWidth, kSkinHeight);
        for (int y = 0; y < kSkinHeight; ++y)
            for (int x = 0; x < kSkinWidth; ++x) SetPixelRgb(skins[s], x, y, SkinPixel(s, x, y));
    }
    return skins;
}

// The gradient's colour in row y of a face Hp pixels high: each channel blended exactly, fraction dropped.
uint32_t GradientAt(int y, int heightPixels, bool reverse) {
    const uint32_t top = reverse ? kGradientDark : kGradientLight;
    const uint32_t bottom = reverse ? kGradientLight : kGradientDark;
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = (top >> shift) & 0xFF, b = (bottom >> shift) & 0xFF;
        const int len = heightPixels - 1;
        out |= uint32_t((a * (len - y) + b * y) / len) << shift;
    }
    return out;
}

struct NullHost : CommandHost {
    int clicks = 0;
    void Command_Click() override { ++clicks; }
};

// A 93 x 25 face at 96 DPI, the size of the settings dialog's buttons.
class FacePaintTest : public ::testing::Test {
protected:
    static constexpr int kW = 93, kH = 25;
    ButtonFace::Skins skins = SyntheticSkins();
    plat::Dc target = MemoryDc(kW, kH);
    ButtonFace face{target, skins, 96};

    void Paint(Skin skin, bool reverse = false) { face.DrawFace(skin, FaceGeometry::For(kW * 15, kH * 15), reverse); }
    uint32_t At(int x, int y) { return PixelRgb(target, x, y); }
};

TEST_F(FacePaintTest, CornersAreCopiedUnscaled) {
    Paint(Skin::Selected);
    const int s = static_cast<int>(Skin::Selected);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(At(x, y), SkinPixel(s, x, y)) << "top-left " << x << "," << y;
            EXPECT_EQ(At(89 + x, y), SkinPixel(s, 60 + x, y)) << "top-right " << x << "," << y;
            EXPECT_EQ(At(x, 21 + y), SkinPixel(s, x, 21 + y)) << "bottom-left " << x << "," << y;
            EXPECT_EQ(At(89 + x, 21 + y), SkinPixel(s, 60 + x, 21 + y)) << "bottom-right " << x << "," << y;
        }
    }
}

TEST_F(FacePaintTest, SidePiecesKeepTheirOwnHeight) {
    Paint(Skin::Normal);
    for (int y = 4; y <= 20; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(At(x, y), SkinPixel(0, x, y)) << "left edge " << x << "," << y << " got " << Hex(At(x, y));
            EXPECT_EQ(At(89 + x, y), SkinPixel(0, 60 + x, y)) << "right edge " << x << "," << y;
        }
    }
}

TEST_F(FacePaintTest, TopAndBottomEdgesStretchFrom56To85) {
    Paint(Skin::Pressed);
    const int s = static_cast<int>(Skin::Pressed);
    std::set<int> sourceColumns;
    int previous = 3;
    for (int i = 0; i < 85; ++i) {
        const uint32_t top = At(4 + i, 0);
        const int column = static_cast<int>(top >> 16);
        ASSERT_GE(column, previous) << "edge columns must run left to right, at " << i;
        ASSERT_LE(column - previous, 1) << "no skin column may be skipped when stretching, at " << i;
        previous = column;
        sourceColumns.insert(column);
        for (int y = 0; y < 4; ++y) {
            EXPECT_EQ(At(4 + i, y), SkinPixel(s, column, y)) << "top edge " << i << "," << y;
            EXPECT_EQ(At(4 + i, 21 + y), SkinPixel(s, column, 21 + y)) << "bottom edge " << i << "," << y;
        }
    }
    EXPECT_EQ(sourceColumns.size(), 56u) << "every one of the skin's 56 edge columns shows";
    EXPECT_EQ(*sourceColumns.begin(), 4);
    EXPECT_EQ(*sourceColumns.rbegin(), 59);
}

TEST_F(FacePaintTest, SkinMiddleNeverShowsAndGradientFillsTheInside) {
    Paint(Skin::HighLight);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const uint32_t rgb = At(x, y);
            const bool fromSkin = (rgb >> 16) < 64;
            if (fromSkin) {
                EXPECT_EQ(rgb & 1, 0u) << "skin middle at " << x << "," << y;
            }
            const bool inside = x >= 4 && x <= 88 && y >= 4 && y <= 20;
            if (inside) {
                EXPECT_EQ(rgb, GradientAt(y, kH, false)) << "at " << x << "," << y << " got " << Hex(rgb);
            }
        }
    }
}

TEST_F(FacePaintTest, ReversedGradientRunsDarkToLight) {
    Paint(Skin::Normal, true);
    EXPECT_EQ(At(40, 4), GradientAt(4, kH, true));
    EXPECT_EQ(At(40, 20), GradientAt(20, kH, true));
    EXPECT_LT(At(40, 4) & 0xFF0000, At(40, 20) & 0xFF0000) << "top darker than bottom when reversed";
}

TEST_F(FacePaintTest, PaintAsksTheHostToRefresh) {
    int refreshes = 0;
    face.SetRefresh([&] { ++refreshes; });
    Paint(Skin::Normal);
    Paint(Skin::Disable);
    EXPECT_EQ(refreshes, 2);
}

TEST(FaceGradient, CoversAllButTheLastColumnAndRow) {
    constexpr int kW = 6, kH = 5;
    plat::Dc target = MemoryDc(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) SetPixelRgb(target, x, y, 0x123456);
    FillFaceGradient(target, kW, kH, false);
    EXPECT_EQ(PixelRgb(target, 0, 0), 0xFFFFFFu) << "top row is white";
    for (int y = 0; y < kH - 1; ++y)
        for (int x = 0; x < kW - 1; ++x)
            EXPECT_EQ(PixelRgb(target, x, y), GradientAt(y, kH, false)) << x << "," << y << " got " << Hex(PixelRgb(target, x, y));
    for (int i = 0; i < kW; ++i) EXPECT_EQ(PixelRgb(target, i, kH - 1), 0x123456u) << "last row untouched at " << i;
    for (int i = 0; i < kH; ++i) EXPECT_EQ(PixelRgb(target, kW - 1, i), 0x123456u) << "last column untouched at " << i;
    // Row 3 of 5: 255 - 57 * 3 / 4 = 212.25, 255 - 58 * 3/4 = 211.5, 255 - 40 * 3/4 = 225
    EXPECT_EQ(PixelRgb(target, 0, 3), 0xD4D3E1u) << "got " << Hex(PixelRgb(target, 0, 3));
}

TEST(FaceGradient, SecondColourIsRedGreenBlueInOrder) {
    plat::Dc target = MemoryDc(3, 2);
    FillFaceGradient(target, 3, 3, true);  // reversed: the top row takes the lavender grey
    EXPECT_EQ(PixelRgb(target, 0, 0), 0xC6C5D7u) << "expected (198, 197, 215), got " << Hex(PixelRgb(target, 0, 0));
}

// A face bigger than the skin in both directions: the sides stretch too, the corners still do not.
TEST(FaceSizes, CreatedSizeStretchesSidesAndKeepsCorners) {
    auto skins = SyntheticSkins();
    plat::Dc target = MemoryDc(117, 28);
    ButtonFace face{target, skins, 96};
    face.DrawFace(Skin::Normal, FaceGeometry::For(kCreatedWidthTwips, kCreatedHeightTwips), false);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(PixelRgb(target, 113 + x, 24 + y), SkinPixel(0, 60 + x, 21 + y));
            EXPECT_EQ(PixelRgb(target, x, y), SkinPixel(0, x, y));
        }
    std::set<int> rows;
    for (int y = 4; y < 24; ++y) rows.insert(static_cast<int>((PixelRgb(target, 0, y) >> 8) & 0xFF));
    EXPECT_EQ(rows.size(), 17u) << "the 17 side rows spread over 20";
}

TEST(FaceSizes, OtherDpiScalesTheFace) {
    auto skins = SyntheticSkins();
    plat::Dc target = MemoryDc(117, 32);
    ButtonFace face{target, skins, 120};  // 12 twips per pixel
    face.DrawFace(Skin::Normal, FaceGeometry::For(1395, 375), false);
    // 60 twips are 5 pixels here: the 4-pixel corner fills 5, the top edge starts at pixel 5.
    EXPECT_EQ(PixelRgb(target, 4, 0) >> 16, 3u);
    EXPECT_EQ(PixelRgb(target, 5, 0) >> 16, 4u);
    EXPECT_EQ(TwipsToPixels(1, 120), 0);
    EXPECT_EQ(TwipsToPixels(1395, 120), 116);  // 116.25
    EXPECT_EQ(TwipsToPixels(6, 120), 1) << "halves round up";
}

// ---- The control's states drive the gradient through the real painter ----

class CommandPaintTest : public ::testing::Test {
protected:
    ButtonFace::Skins skins = SyntheticSkins();
    plat::Dc target = MemoryDc(93, 25);
    ButtonFace face{target, skins, 96};
    NullHost host;
    Command button{host, face};

    void SetUp() override {
        button.SetSize(1395, 375);
        button.UserControl_ReadProperties(PropertyBag{});
        button.Initialize();
    }
    bool TopIsDark() { return PixelRgb(target, 40, 4) == GradientAt(4, 25, true); }
    int SkinShown() { return static_cast<int>((PixelRgb(target, 0, 0) & 0xFF) / 32); }
};

TEST_F(CommandPaintTest, HotReversesTheGradient) {
    EXPECT_FALSE(TopIsDark());
    button.UserControl_MouseMove(0, 0, 1, 1);
    EXPECT_TRUE(TopIsDark()) << "state 2 paints lavender grey at the top";
    EXPECT_EQ(SkinShown(), static_cast<int>(Skin::HighLight));
}

TEST_F(CommandPaintTest, HotFocusedKeepsThePreviousOrientation) {
    button.UserControl_MouseMove(0, 0, 1, 1);  // 1 -> 2
    button.UserControl_GotFocus();             // 2 -> 4
    EXPECT_TRUE(TopIsDark()) << "reached from state 2, state 4 stays reversed";
    EXPECT_EQ(SkinShown(), static_cast<int>(Skin::Pressed));
    button.TmrMouse_Timer(PointerOver::Other);  // 4 -> 3
    EXPECT_FALSE(TopIsDark());
    button.UserControl_MouseMove(0, 0, 1, 1);  // 3 -> 4
    EXPECT_FALSE(TopIsDark()) << "reached from state 3, state 4 stays upright";
    EXPECT_EQ(SkinShown(), static_cast<int>(Skin::HighLightSelect));
}

TEST_F(CommandPaintTest, DisableOnHotButtonIsReversed) {
    button.UserControl_MouseMove(0, 0, 1, 1);
    button.SetEnabled(false);
    EXPECT_EQ(SkinShown(), static_cast<int>(Skin::Disable));
    EXPECT_TRUE(TopIsDark());
}

// ---- The in-memory paint calls themselves ----

TEST(MemoryStretchBlt, EnlargesByNearestSample) {
    plat::Dc source = MemoryDc(2, 1);
    SetPixelRgb(source, 0, 0, 0xAA0000);
    SetPixelRgb(source, 1, 0, 0x00BB00);
    plat::Dc target = MemoryDc(5, 1);
    ASSERT_TRUE(plat::StretchBlt(target, 0, 0, 5, 1, source, 0, 0, 2, 1, plat::kSrcCopy));
    // Each target pixel takes the source pixel under its centre; pixel 2's centre lies on the boundary.
    const uint32_t expected[5] = {0xAA0000, 0xAA0000, 0x00BB00, 0x00BB00, 0x00BB00};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelRgb(target, x, 0), expected[x]) << "at " << x << " got " << Hex(PixelRgb(target, x, 0));
}

TEST(MemoryStretchBlt, ShrinksWithoutBlending) {
    plat::Dc source = MemoryDc(4, 1);
    const uint32_t colours[4] = {0x000001, 0x000002, 0x000003, 0x000004};
    for (int x = 0; x < 4; ++x) SetPixelRgb(source, x, 0, colours[x]);
    plat::Dc target = MemoryDc(2, 1);
    ASSERT_TRUE(plat::StretchBlt(target, 0, 0, 2, 1, source, 0, 0, 4, 1, plat::kSrcCopy));
    EXPECT_EQ(PixelRgb(target, 0, 0), 0x000002u);
    EXPECT_EQ(PixelRgb(target, 1, 0), 0x000004u);
}

TEST(MemoryStretchBlt, RefusesWhatItCannotDo) {
    plat::Dc source = MemoryDc(2, 2);
    plat::Dc target = MemoryDc(2, 2);
    EXPECT_FALSE(plat::StretchBlt(target, 0, 0, -2, 2, source, 0, 0, 2, 2, plat::kSrcCopy));
    EXPECT_FALSE(plat::StretchBlt(target, 0, 0, 2, 2, source, 0, 0, 0, 2, plat::kSrcCopy));
    EXPECT_FALSE(plat::StretchBlt(target, 0, 0, 2, 2, nullptr, 0, 0, 2, 2, plat::kSrcCopy));
    EXPECT_FALSE(plat::StretchBlt(target, 0, 0, 2, 2, source, 0, 0, 2, 2, 0x00EE0086));
    EXPECT_TRUE(plat::StretchBlt(target, -1, -1, 4, 4, source, 0, 0, 2, 2, plat::kSrcCopy)) << "clips to the target";
}

TEST(MemoryStretchBlt, ModeIsRememberedPerDc) {
    plat::Dc dc = MemoryDc(1, 1);
    EXPECT_EQ(plat::SetStretchBltMode(dc, plat::kColorOnColor), plat::kBlackOnWhite);
    EXPECT_EQ(plat::SetStretchBltMode(dc, plat::kColorOnColor), plat::kColorOnColor);
    EXPECT_EQ(plat::SetStretchBltMode(dc, 9), 0);
}

TEST(MemoryGradientFill, HorizontalModeBlendsAcross) {
    plat::Dc dc = MemoryDc(3, 1);
    plat::TriVertex v[2];
    v[0].x = 0;
    v[0].y = 0;
    v[1].x = 3;
    v[1].y = 1;
    v[1].Red = 0xFF00;
    const plat::GradientRect rect{0, 1};
    ASSERT_TRUE(plat::GradientFill(dc, v, 2, &rect, 1, plat::kGradientFillRectH));
    EXPECT_EQ(PixelRgb(dc, 0, 0), 0x000000u);
    EXPECT_EQ(PixelRgb(dc, 1, 0), 0x550000u);
    EXPECT_EQ(PixelRgb(dc, 2, 0), 0xAA0000u);
}

TEST(MemoryGradientFill, RejectsBadInput) {
    plat::Dc dc = MemoryDc(2, 2);
    plat::TriVertex v[2];
    const plat::GradientRect bad{0, 5};
    EXPECT_FALSE(plat::GradientFill(dc, v, 2, &bad, 1, plat::kGradientFillRectV));
    const plat::GradientRect rect{0, 1};
    EXPECT_FALSE(plat::GradientFill(dc, v, 2, &rect, 1, 2)) << "triangle mode is not offered";
    EXPECT_TRUE(plat::GradientFill(dc, v, 2, &rect, 1, plat::kGradientFillRectV)) << "an empty rectangle is fine";
}

}  // namespace
}  // namespace quorvel
