// Painted pixels of a Command face: corners unscaled, edges stretched, the skin's middle never shown, the
// gradient inside, turned over when asked; checked against synthetic skins whose pixels name their origin.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "button/button_face.h"
#include "seam/portable/portable_gdi.h"
#include "seam/paint.h"
#include "support.h"

namespace quorvel {
namespace {

using plat::memory::PixelRgb;
using plat::memory::SetPixelRgb;
using testing::Hex;
using testing::MemoryDc;

constexpr int kSkinW = 64, kSkinH = 25;

// Red = the skin column, green = the skin row, blue = skin * 32, plus 1 in the 56 x 17 middle.
uint32_t SkinPixel(int skin, int x, int y) {
    const bool middle = x >= 4 && x < kSkinW - 4 && y >= 4 && y < kSkinH - 4;
    return (uint32_t(x) << 16) | (uint32_t(y) << 8) | uint32_t(skin * 32 + (middle ? 1 : 0));
}

ButtonFace::Skins SyntheticSkins() {
    ButtonFace::Skins skins{};
    for (int s = 0; s < kSkinCount; ++s) {
        skins[s] = MemoryDc(kSkinW, kSkinH);
        for (int y = 0; y < kSkinH; ++y)
            for (int x = 0; x < kSkinW; ++x) SetPixelRgb(skins[s], x, y, SkinPixel(s, x, y));
    }
    return skins;
}

// Row y of a face h pixels high: white at the top running to (198, 197, 215), or the other way round when
// reversed; each channel blended exactly, the fraction dropped.
uint32_t GradientAt(int y, int h, bool reverse) {
    const int light[3] = {255, 255, 255}, dark[3] = {198, 197, 215}, t = reverse ? h - 1 - y : y;
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) out = out << 8 | uint32_t((light[c] * (h - 1 - t) + dark[c] * t) / (h - 1));
    return out;
}

// The skin coordinates one line of face pixels took: the 4 at each end are the skin's own border, unscaled;
// those between run through the whole of the skin's middle in order, none skipped.
void ExpectRun(const std::vector<int>& from, int skinLength, const char* where) {
    const int n = static_cast<int>(from.size());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(from[i], i) << where << ", pixel " << i;
        EXPECT_EQ(from[n - 1 - i], skinLength - 1 - i) << where << ", pixel " << n - 1 - i;
    }
    for (int i = 5; i < n - 4; ++i)
        EXPECT_TRUE(from[i] == from[i - 1] || from[i] == from[i - 1] + 1) << where << ": jumps at pixel " << i;
}

// Faces of w x h pixels at 96 DPI, 15 twips each.
struct FaceCase { const char* name; int w, h; Skin skin; bool reverse; };

const FaceCase kFaces[] = {
    {"SkinSize", 64, 25, Skin::Disable, false},
    {"SettingsDialogButton", 93, 25, Skin::Pressed, false},  // edges 56 -> 85, sides at their own 17
    {"CreatedSize", 117, 28, Skin::HighLight, true},         // sides 17 -> 20 as well
    {"Large", 300, 61, Skin::Selected, true},
};

class FacePaintTest : public ::testing::TestWithParam<FaceCase> {};

// A 4-pixel frame cut from the skin with one mapping for every side, and the gradient everywhere inside.
TEST_P(FacePaintTest, FrameFromTheSkinsBorderOverTheGradient) {
    const auto [name, w, h, skin, reverse] = GetParam();
    plat::Dc target = MemoryDc(w, h);
    ButtonFace face{target, SyntheticSkins(), 96};
    int refreshes = 0;
    face.SetRefresh([&] { ++refreshes; });
    face.DrawFace(skin, FaceGeometry::For(w * 15, h * 15), reverse);
    EXPECT_EQ(refreshes, 1) << "each paint asks the host to show the new image";
    std::vector<int> columns, rows;
    for (int x = 0; x < w; ++x) columns.push_back(int(PixelRgb(target, x, 0) >> 16));
    for (int y = 0; y < h; ++y) rows.push_back(int(PixelRgb(target, 0, y) >> 8 & 0xFF));
    ExpectRun(columns, kSkinW, "across the top");
    ExpectRun(rows, kSkinH, "down the left");
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool frame = x < 4 || y < 4 || x >= w - 4 || y >= h - 4;
            const uint32_t want = frame ? SkinPixel(int(skin), columns[x], rows[y]) : GradientAt(y, h, reverse);
            ASSERT_EQ(PixelRgb(target, x, y), want) << "at " << x << "," << y << " got " << Hex(PixelRgb(target, x, y));
        }
}

INSTANTIATE_TEST_SUITE_P(EverySize, FacePaintTest, ::testing::ValuesIn(kFaces),
                         [](const ::testing::TestParamInfo<FaceCase>& info) { return std::string(info.param.name); });

// With skins that failed to load no frame is drawn, and the last row and column show that each paint first
// clears the whole face rather than leaving what was there before.
TEST(FacePaint, ClearsTheWholeFaceFirst) {
    plat::Dc target = MemoryDc(70, 25);
    ButtonFace face{target, ButtonFace::Skins{}, 96};
    face.DrawFace(Skin::Normal, FaceGeometry::For(70 * 15, 25 * 15), false);
    EXPECT_EQ(PixelRgb(target, 69, 0), kFaceClearColour) << "got " << Hex(PixelRgb(target, 69, 0));
    EXPECT_EQ(PixelRgb(target, 0, 24), kFaceClearColour) << "got " << Hex(PixelRgb(target, 0, 24));
}

TEST(FacePaint, SkinIsReadAtItsOwnFifteenTwipsPerPixelAtAnyDpi) {
    plat::Dc target = MemoryDc(117, 32);
    ButtonFace face{target, SyntheticSkins(), 120};  // 12 twips per pixel: 60 twips are 5 pixels
    face.DrawFace(Skin::Normal, FaceGeometry::For(1395, 375), false);
    EXPECT_EQ(PixelRgb(target, 4, 0) >> 16, 3u) << "the 4-pixel corner fills 5";
    EXPECT_EQ(PixelRgb(target, 5, 0) >> 16, 4u) << "the top edge starts at pixel 5";
}

}  // namespace
}  // namespace quorvel
