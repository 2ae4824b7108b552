// The in-memory GDI follows the GDI rules the surface's tests lean on: blits clip to both bitmaps, and a bitmap
// selected into a DC is not released until the DC is.
#include <gtest/gtest.h>

#include "seam/gdi.h"
#include "seam/portable/portable_gdi.h"

namespace {

namespace memory = plat::memory;

TEST(MemoryGdi, BlitsClipToBothBitmapsAndReleasesFollowGdisRules) {
    const plat::Dc window = memory::CreateWindowDC(4, 4);
    memory::SetPixelRgb(window, 3, 3, 0x123456);
    const plat::Dc dc = plat::CreateCompatibleDC(nullptr);
    plat::BitmapInfo256 info{};
    info.header = {.biSize = 40, .biWidth = 2, .biHeight = -2, .biPlanes = 1, .biBitCount = 8};
    info.colors[1] = {0x56, 0x34, 0x12, 0};
    void* bits = nullptr;
    const plat::Bitmap bitmap = plat::CreateDIBSection(dc, &info, plat::kDibRgbColors, &bits);
    ASSERT_NE(bits, nullptr);
    plat::SelectObject(dc, bitmap);
    EXPECT_TRUE(plat::BitBlt(dc, -1, -1, 10, 10, window, 2, 2, plat::kSrcCopy));
    EXPECT_EQ(static_cast<uint8_t*>(bits)[0], 1) << "window pixel (3, 3) lands on (0, 0) as entry 1";
    EXPECT_FALSE(plat::BitBlt(dc, 0, 0, 1, 1, window, 0, 0, 0x00EE0086)) << "only plain copies are supported";

    EXPECT_FALSE(plat::DeleteObject(bitmap)) << "a bitmap selected into a DC is not released";
    EXPECT_TRUE(plat::DeleteDC(dc));
    EXPECT_TRUE(plat::DeleteObject(bitmap));
    EXPECT_FALSE(plat::DeleteObject(bitmap));
    EXPECT_FALSE(plat::DeleteDC(dc));
    EXPECT_EQ(memory::DeleteCount(bitmap), 3);
    EXPECT_EQ(memory::DeleteCount(dc), 2);
}

}  // namespace
