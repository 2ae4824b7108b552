// The portable GDI draws what GDI would for the calls the program makes, refuses the rest, fails on handles it
// did not hand out or has released, and holds nothing for what was released.
#include <gtest/gtest.h>

#include <vector>

#include "seam/gdi.h"
#include "seam/paint.h"
#include "seam/portable/test_hooks.h"
#include "support.h"

namespace {

namespace memory = plat::memory;
using quorvel::testing::Hex;
using quorvel::testing::MemoryDc;

std::vector<uint32_t> Pixels(plat::Dc dc, int y, int fromX, int toX) {
    std::vector<uint32_t> out;
    for (int x = fromX; x < toX; ++x) out.push_back(memory::PixelRgb(dc, x, y));
    return out;
}

TEST(PortableGdi, BlitsClipToBothBitmapsAndReleasesFollowGdisRules) {
    const int held = memory::HeldObjects();
    const plat::Dc window = memory::CreateWindowDC(4, 4);
    memory::SetPixelRgb(window, 3, 3, 0x123456);
    const plat::Dc dc = plat::CreateCompatibleDC(window);
    plat::BitmapInfo256 info{};
    info.header = {.biSize = 40, .biWidth = 2, .biHeight = -2, .biPlanes = 1, .biBitCount = 8};
    info.colors[1] = {0x56, 0x34, 0x12, 0};
    void* bits = nullptr;
    const plat::Bitmap bitmap = plat::CreateDIBSection(dc, &info, plat::kDibRgbColors, &bits);
    ASSERT_NE(bits, nullptr);
    const plat::GdiObject stock = plat::SelectObject(dc, bitmap);
    EXPECT_TRUE(plat::BitBlt(dc, -1, -1, 10, 10, window, 2, 2, plat::kSrcCopy));
    EXPECT_EQ(static_cast<uint8_t*>(bits)[0], 1) << "window pixel (3, 3) lands on (0, 0) as entry 1";

    EXPECT_FALSE(plat::DeleteObject(bitmap)) << "a bitmap selected into a DC is not released";
    EXPECT_FALSE(plat::DeleteDC(window)) << "a window's DC is released with ReleaseWindowDC";
    EXPECT_EQ(plat::SelectObject(dc, stock), bitmap) << "the DC's first bitmap goes back in, giving the section out";
    EXPECT_TRUE(plat::DeleteObject(bitmap));
    EXPECT_TRUE(plat::DeleteDC(dc));
    EXPECT_FALSE(plat::DeleteObject(bitmap));
    EXPECT_FALSE(plat::DeleteDC(dc));
    EXPECT_FALSE(plat::DeleteObject(stock)) << "the stock bitmap is never released";
    EXPECT_EQ(memory::DeleteCount(bitmap), 3);
    EXPECT_EQ(memory::DeleteCount(dc), 2);
    EXPECT_TRUE(memory::ReleaseWindowDC(window));
    EXPECT_EQ(memory::HeldObjects(), held) << "every release lets go of its record";
}

TEST(PortableGdi, ReleasedAndForeignHandlesFailEveryCall) {
    const plat::Dc window = memory::CreateWindowDC(2, 2), dc = MemoryDc(2, 2);
    plat::BitmapInfo256 info{};
    info.header = plat::TopDownDibHeader(2, 2, 32);
    const plat::Bitmap section = plat::CreateDIBSection(nullptr, &info, plat::kDibRgbColors, nullptr);
    ASSERT_TRUE(plat::DeleteDC(dc));
    ASSERT_TRUE(plat::DeleteObject(section));
    ASSERT_TRUE(memory::ReleaseWindowDC(window));
    const plat::Dc foreign = reinterpret_cast<plat::Dc>(uintptr_t{0x5EED});
    const plat::RgbQuad colours[1] = {};
    const plat::TriVertex v[2] = {{0, 0}, {2, 2}};
    const plat::GradientRect rect{0, 1};
    for (plat::Dc stale : {window, dc, foreign, reinterpret_cast<plat::Dc>(section)}) {
        const plat::Dc live = memory::CreateWindowDC(2, 2);
        EXPECT_EQ(plat::CreateCompatibleDC(stale), nullptr);
        EXPECT_EQ(plat::SelectObject(stale, section), nullptr);
        EXPECT_FALSE(plat::BitBlt(live, 0, 0, 1, 1, stale, 0, 0, plat::kSrcCopy));
        EXPECT_FALSE(plat::BitBlt(stale, 0, 0, 1, 1, live, 0, 0, plat::kSrcCopy));
        EXPECT_FALSE(plat::StretchBlt(stale, 0, 0, 1, 1, live, 0, 0, 1, 1, plat::kSrcCopy));
        EXPECT_EQ(plat::SetDIBColorTable(stale, 0, 1, colours), 0u);
        EXPECT_EQ(plat::SetStretchBltMode(stale, plat::kColorOnColor), 0);
        EXPECT_FALSE(plat::GradientFill(stale, v, 2, &rect, 1, plat::kGradientFillRectV));
        EXPECT_FALSE(plat::DeleteDC(stale));
        EXPECT_FALSE(plat::DeleteObject(stale));
        EXPECT_FALSE(memory::ReleaseWindowDC(stale));
        EXPECT_EQ(memory::Width(stale), 0);
        EXPECT_TRUE(memory::Pixels(stale).empty());
        EXPECT_TRUE(memory::ReleaseWindowDC(live));
    }
    EXPECT_EQ(plat::SelectObject(MemoryDc(2, 2), window), nullptr) << "a DC is no bitmap";
}

// COLORONCOLOR maps the centre of each destination pixel into the source: 3 columns stretched to 5 take source
// columns 0 0 1 2 2 (centres at 0.3, 0.9, 1.5, 2.1, 2.7), and 5 rows shrunk to 2 take rows 1 and 3 (1.25, 3.75).
TEST(PortableGdi, StretchTakesTheSourcePixelUnderEachDestinationPixelsCentre) {
    const plat::Dc source = MemoryDc(4, 5), target = memory::CreateWindowDC(8, 4);
    auto at = [](int x, int y) { return 0x010000u * (x + 1) + 0x0100u * (y + 1); };
    for (int i = 0; i < 20; ++i) memory::SetPixelRgb(source, i % 4, i / 4, at(i % 4, i / 4));
    EXPECT_EQ(plat::SetStretchBltMode(target, plat::kColorOnColor), plat::kBlackOnWhite);
    ASSERT_TRUE(plat::StretchBlt(target, 1, 1, 5, 2, source, 1, 0, 3, 5, plat::kSrcCopy));
    EXPECT_EQ(Pixels(target, 0, 0, 8), std::vector<uint32_t>(8, 0));
    EXPECT_EQ(Pixels(target, 1, 0, 8), (std::vector<uint32_t>{0, at(1, 1), at(1, 1), at(2, 1), at(3, 1), at(3, 1), 0, 0}));
    EXPECT_EQ(Pixels(target, 2, 0, 8), (std::vector<uint32_t>{0, at(1, 3), at(1, 3), at(2, 3), at(3, 3), at(3, 3), 0, 0}));
    // Clipped at the target's right and bottom edges, the pixels left keep their own source pixels.
    ASSERT_TRUE(plat::StretchBlt(target, 5, 3, 5, 2, source, 1, 0, 3, 5, plat::kSrcCopy));
    EXPECT_EQ(Pixels(target, 3, 4, 8), (std::vector<uint32_t>{0, at(1, 1), at(1, 1), at(2, 1)}));
}

TEST(PortableGdi, GradientsFillVerticalRectanglesEitherWayUpAndNothingElse) {
    const uint16_t light = 0xFF00, dark = 0x3300;
    const plat::TriVertex downward[2] = {{0, 0, light, light, light}, {2, 3, dark, dark, dark}};
    const plat::TriVertex upward[2] = {downward[1], downward[0]};
    const plat::GradientRect rect{0, 1};
    for (const plat::TriVertex* v : {downward, upward}) {
        const plat::Dc target = MemoryDc(3, 4);
        ASSERT_TRUE(plat::GradientFill(target, v, 2, &rect, 1, plat::kGradientFillRectV));
        // 0xFF to 0x33 over 3 rows: 0xFF, 0xBB, 0x77; the right column and the bottom row are not filled.
        EXPECT_EQ(Pixels(target, 0, 0, 3), (std::vector<uint32_t>{0xFFFFFF, 0xFFFFFF, 0}));
        EXPECT_EQ(Pixels(target, 2, 0, 3), (std::vector<uint32_t>{0x777777, 0x777777, 0}));
        EXPECT_EQ(Pixels(target, 3, 0, 3), (std::vector<uint32_t>(3, 0)));
    }
    const plat::Dc indexed = MemoryDc(3, 4, 8), blank = MemoryDc(3, 4);
    EXPECT_FALSE(plat::GradientFill(blank, downward, 2, &rect, 1, 0)) << "GRADIENT_FILL_RECT_H is not drawn";
    EXPECT_FALSE(plat::GradientFill(indexed, downward, 2, &rect, 1, plat::kGradientFillRectV)) << "GDI dithers there";
    EXPECT_EQ(Pixels(blank, 0, 0, 3), std::vector<uint32_t>(3, 0));
}

TEST(PortableGdi, CopiesRefuseRasterOperationsAndStretchModesTheyDoNotDraw) {
    const plat::Dc source = MemoryDc(2, 2), target = MemoryDc(4, 4);
    memory::SetPixelRgb(source, 0, 0, 0xABCDEF);
    // A DC starts in BLACKONWHITE; only COLORONCOLOR is drawn.
    for (int mode : {0, plat::kBlackOnWhite, plat::kHalftone}) {
        if (mode) plat::SetStretchBltMode(target, mode);
        EXPECT_FALSE(plat::StretchBlt(target, 0, 0, 4, 4, source, 0, 0, 2, 2, plat::kSrcCopy)) << "mode " << mode;
    }
    plat::SetStretchBltMode(target, plat::kColorOnColor);
    for (uint32_t rop : {0x00EE0086u /* SRCPAINT */, 0x008800C6u /* SRCAND */, 0x00660046u /* SRCINVERT */}) {
        EXPECT_FALSE(plat::BitBlt(target, 0, 0, 2, 2, source, 0, 0, rop)) << Hex(rop);
        EXPECT_FALSE(plat::StretchBlt(target, 0, 0, 4, 4, source, 0, 0, 2, 2, rop)) << Hex(rop);
    }
    EXPECT_FALSE(plat::StretchBlt(target, 4, 0, -4, 4, source, 0, 0, 2, 2, plat::kSrcCopy)) << "no mirroring";
    EXPECT_EQ(Pixels(target, 0, 0, 4), std::vector<uint32_t>(4, 0)) << "nothing drawn by a refused call";
}

}  // namespace
