// The button skins in assets/: size, frame colours across each side's middle, corner shape, side shading.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "image_file.h"

namespace quorvel {
namespace {

std::string Hex(uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "%06X", rgb);
    return text;
}

struct Frame {
    const char* file;
    // Outermost pixel first.
    std::array<uint32_t, 4> top, bottom, left, right;
};

const Frame kFrames[] = {
    {"skin_normal.bmp", {0xDCD6C2, 0x003C74, 0xF3F3EE, 0xF3F3EE}, {0xFAFAF6, 0x003C74, 0xD6D0C5, 0xE2DFD6},
     {0xE2DECB, 0x003C74, 0xF4F4F0, 0xF4F4F0}, {0xF0EEE0, 0x003C74, 0xE8E5DF, 0xEEEDE7}},
    {"skin_highlight.bmp", {0xDCD6C2, 0x003C74, 0xFFF0CF, 0xFDD889}, {0xFAFAF6, 0x003C74, 0xE59700, 0xF8B330},
     {0xE2DECB, 0x003C74, 0xFCCA69, 0xFBCA6A}, {0xF0EEE0, 0x003C74, 0xFCCA69, 0xFBCA6A}},
    {"skin_selected.bmp", {0xDCD6C2, 0x003C74, 0xCEE7FF, 0xCEE7FF}, {0xFAFAF6, 0x003C74, 0x6982EE, 0x6982EE},
     {0xE2DECB, 0x003C74, 0xA9C5EF, 0xA8C6F0}, {0xF0EEE0, 0x003C74, 0xA9C5EF, 0xA9C5EF}},
    {"skin_pressed.bmp", {0xECE9D8, 0xDCD6C2, 0x003C74, 0xD1CCC1}, {0xECE9D8, 0xFAFAF6, 0x003C74, 0xF2F1EE},
     {0xECE9D8, 0xE2DECB, 0x003C74, 0xD7D4CB}, {0xECE9D8, 0xF0EEE0, 0x003C74, 0xE4E3DC}},
    {"skin_disable.bmp", {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA}, {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA},
     {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA}, {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA}},
};

Image Load(const std::string& file) {
    Image image;
    const std::string path = std::string(QUORVEL_SOURCE_DIR) + "/assets/" + file;
    EXPECT_TRUE(ReadBmp(path, image)) << "cannot read " << path;
    return image;
}

class SkinFileTest : public ::testing::TestWithParam<Frame> {};

TEST_P(SkinFileTest, FrameAcrossEachSideMiddle) {
    const Frame& f = GetParam();
    const Image skin = Load(f.file);
    ASSERT_EQ(skin.width, 64);
    ASSERT_EQ(skin.height, 25);
    for (int i = 0; i < 4; ++i) {
        for (int x : {31, 32}) {
            EXPECT_EQ(skin.At(x, i), f.top[i]) << f.file << " top row " << i << ": expected " << Hex(f.top[i]) << ", got " << Hex(skin.At(x, i));
            EXPECT_EQ(skin.At(x, 24 - i), f.bottom[i]) << f.file << " bottom row " << 24 - i << ": expected " << Hex(f.bottom[i]) << ", got " << Hex(skin.At(x, 24 - i));
        }
        EXPECT_EQ(skin.At(i, 12), f.left[i]) << f.file << " left column " << i << ": expected " << Hex(f.left[i]) << ", got " << Hex(skin.At(i, 12));
        EXPECT_EQ(skin.At(63 - i, 12), f.right[i]) << f.file << " right column " << 63 - i << ": expected " << Hex(f.right[i]) << ", got " << Hex(skin.At(63 - i, 12));
    }
}

TEST_P(SkinFileTest, EdgesRunUnchangedAlongTheirLength) {
    const Frame& f = GetParam();
    const Image skin = Load(f.file);
    for (int x = 4; x <= 59; ++x)
        for (int i = 0; i < 4; ++i) {
            ASSERT_EQ(skin.At(x, i), f.top[i]) << f.file << " at " << x << "," << i;
            ASSERT_EQ(skin.At(x, 24 - i), f.bottom[i]) << f.file << " at " << x << "," << 24 - i;
        }
}

TEST_P(SkinFileTest, CornersAreRoundedAndMirrored) {
    const Frame& f = GetParam();
    const Image skin = Load(f.file);
    // The outline is cut diagonally: the corner pixel of the outline ring is never the outline colour itself.
    const int k = f.top[1] == 0x003C74 || f.top[1] == 0xC9C7BA ? 1 : 2;
    const uint32_t outline = f.top[k];
    EXPECT_NE(skin.At(k, k), outline) << f.file;
    EXPECT_NE(skin.At(63 - k, k), outline) << f.file;
    EXPECT_NE(skin.At(k, 24 - k), outline) << f.file;
    EXPECT_NE(skin.At(63 - k, 24 - k), outline) << f.file;
}

INSTANTIATE_TEST_SUITE_P(EverySkin, SkinFileTest, ::testing::ValuesIn(kFrames),
                         [](const ::testing::TestParamInfo<Frame>& info) {
                             std::string name = info.param.file;
                             return name.substr(5, name.size() - 9);
                         });

TEST(SkinFiles, NormalTopLeftCornerBlock) {
    const Image skin = Load("skin_normal.bmp");
    const uint32_t expected[4][4] = {
        {0xE9E7D5, 0xE4DFCE, 0xE1DDCA, 0xE0DCC9},
        {0xE4DFCE, 0xE6E1D0, 0x7A95A8, 0x255783},
        {0xE2DECB, 0x7A95A8, 0x557DA2, 0xC0CFDD},
        {0xE2DECB, 0x255783, 0xBFCEDC, 0xFEFEFE},
    };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(skin.At(x, y), expected[y][x]) << "at " << x << "," << y << ": expected " << Hex(expected[y][x]) << ", got " << Hex(skin.At(x, y));
}

TEST(SkinFiles, SideShadingRunsFromRow4ToRow20) {
    const Image normal = Load("skin_normal.bmp");
    EXPECT_EQ(normal.At(2, 4), 0xFDFDFCu) << Hex(normal.At(2, 4));
    EXPECT_EQ(normal.At(3, 20), 0xECEBE6u) << Hex(normal.At(3, 20));
    EXPECT_EQ(normal.At(61, 4), 0xF6F4F2u) << Hex(normal.At(61, 4));
    EXPECT_EQ(normal.At(60, 20), 0xE0DDD4u) << Hex(normal.At(60, 20));
    const Image hot = Load("skin_highlight.bmp");
    EXPECT_EQ(hot.At(2, 4), 0xFEDF9Au) << Hex(hot.At(2, 4));
    EXPECT_EQ(hot.At(3, 4), 0xFCD279u) << Hex(hot.At(3, 4));
    EXPECT_EQ(hot.At(2, 20), 0xF9B435u) << Hex(hot.At(2, 20));
    EXPECT_EQ(hot.At(3, 20), 0xF8B535u) << Hex(hot.At(3, 20));
    const Image selected = Load("skin_selected.bmp");
    EXPECT_EQ(selected.At(2, 4), 0xB7D0F4u) << Hex(selected.At(2, 4));
    EXPECT_EQ(selected.At(61, 20), 0x8BADE4u) << Hex(selected.At(61, 20));
    const Image pressed = Load("skin_pressed.bmp");
    EXPECT_EQ(pressed.At(2, 4), 0x255783u) << Hex(pressed.At(2, 4));
    EXPECT_EQ(pressed.At(2, 12), 0x003C74u) << Hex(pressed.At(2, 12));
    EXPECT_EQ(pressed.At(61, 20), 0x164D7Eu) << Hex(pressed.At(61, 20));
    const Image disable = Load("skin_disable.bmp");
    for (int y = 4; y <= 20; ++y) EXPECT_EQ(disable.At(2, y), 0xF5F4EAu) << "disabled sides are uniform, row " << y;
}

}  // namespace
}  // namespace quorvel
