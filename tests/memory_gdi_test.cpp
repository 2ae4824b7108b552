// The in-memory GDI behaves as the surface relies on GDI behaving.
#include <gtest/gtest.h>

#include "platform/gdi.h"
#include "platform/memory/memory_gdi.h"
#include "platform/memory/memory_objects.h"
#include "surface/palette.h"

namespace memory = plat::memory;

namespace {

plat::BitmapInfo256 Indexed(int width, int height) {
    plat::BitmapInfo256 info{};
    info.header.biSize = sizeof(plat::BitmapInfoHeader);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    return info;
}

}  // namespace

TEST(MemoryGdi, NearestColourTakesTheLowestIndexOnTies) {
    plat::RgbQuad table[256] = {};
    table[3] = {0, 0, 200, 0};  // blue, green, red
    table[7] = {0, 0, 200, 0};
    table[9] = {0, 0, 100, 0};
    EXPECT_EQ(quorvel::NearestIndex(table, 200, 0, 0), 3);
    EXPECT_EQ(quorvel::NearestIndex(table, 0, 0, 0), 0) << "black finds entry 0 before any other black";
    EXPECT_EQ(quorvel::NearestIndex(table, 150, 0, 0), 3) << "150 is as near to 200 as to 100: the lower index wins";
}

TEST(MemoryGdi, BlitsClipToBothBitmaps) {
    const plat::Dc window = memory::CreateWindowDC(4, 4);
    memory::SetPixelRgb(window, 3, 3, 0x123456);
    const plat::Dc dc = plat::CreateCompatibleDC(nullptr);
    plat::BitmapInfo256 info = Indexed(2, 2);
    info.colors[1] = {0x56, 0x34, 0x12, 0};
    void* bits = nullptr;
    const plat::Bitmap bitmap = plat::CreateDIBSection(dc, &info, plat::kDibRgbColors, &bits);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(bits, nullptr);
    plat::SelectObject(dc, bitmap);
    EXPECT_TRUE(plat::BitBlt(dc, -1, -1, 10, 10, window, 2, 2, plat::kSrcCopy));
    EXPECT_EQ(static_cast<uint8_t*>(bits)[0], 1) << "window pixel (3, 3) lands on (0, 0)";
    EXPECT_FALSE(plat::BitBlt(dc, 0, 0, 1, 1, window, 0, 0, 0x00EE0086)) << "only plain copies are supported";
    EXPECT_FALSE(plat::DeleteObject(bitmap)) << "a bitmap selected into a DC is not released";
    EXPECT_TRUE(plat::DeleteDC(dc));
    EXPECT_TRUE(plat::DeleteObject(bitmap));
    EXPECT_FALSE(plat::DeleteObject(bitmap));
    EXPECT_FALSE(plat::DeleteDC(dc));
    EXPECT_EQ(memory::DeleteCount(bitmap), 3);
    EXPECT_EQ(memory::DeleteCount(dc), 2);
}

TEST(MemoryGdi, RejectsDescriptionsGdiRejects) {
    void* bits = reinterpret_cast<void*>(1);
    plat::BitmapInfo256 info = Indexed(0, 4);
    EXPECT_EQ(plat::CreateDIBSection(nullptr, &info, plat::kDibRgbColors, &bits), nullptr);
    EXPECT_EQ(bits, nullptr);
    info = Indexed(4, 4);
    info.header.biBitCount = 24;
    EXPECT_EQ(plat::CreateDIBSection(nullptr, &info, plat::kDibRgbColors, &bits), nullptr);
    EXPECT_EQ(plat::SetDIBColorTable(nullptr, 0, 1, info.colors), 0u);
}
