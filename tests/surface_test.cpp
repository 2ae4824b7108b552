// Tavrin_C over the in-memory GDI: sizes, palette, copies, aliasing, release and failure.
#include <gtest/gtest.h>

#include "platform/memory/memory_gdi.h"
#include "surface/palette.h"
#include "surface/tavrin_c.h"

using quorvel::PictureBox;
using quorvel::Tavrin_C;
namespace memory = plat::memory;

namespace {

PictureBox WindowBox(int width, int height) {
    return PictureBox{memory::CreateWindowDC(width, height), double(width), double(height)};
}

}  // namespace

TEST(Surface, InitDimensionsRoundsTheWidthUpToAMultipleOfFour) {
    Tavrin_C square;
    ASSERT_FALSE(square.InitDimensions(256, 256));
    EXPECT_EQ(square.GetWidth(), 256);
    EXPECT_EQ(square.GetPitch(), 256);
    EXPECT_EQ(square.GetHeight(), 256);
    EXPECT_EQ(square.GetImageSize(), 65536);
    EXPECT_EQ(square.GetAttachedDC(), nullptr);

    Tavrin_C narrow;
    ASSERT_FALSE(narrow.InitDimensions(253, 10));
    EXPECT_EQ(narrow.GetWidth(), 256);
    EXPECT_EQ(narrow.GetPitch(), 256);
    EXPECT_EQ(narrow.GetHeight(), 10);
    EXPECT_EQ(narrow.GetImageSize(), 2560);
    EXPECT_EQ(narrow.GetHeader().biHeight, -10) << "top-down";
    EXPECT_EQ(narrow.GetHeader().biBitCount, 8);
    EXPECT_EQ(narrow.GetHeader().biSizeImage, 0u) << "InitDimensions leaves the image size field alone";
}

TEST(Surface, InitPictureSizesToThePictureBox) {
    const PictureBox box = WindowBox(1023, 767);
    Tavrin_C surface;
    ASSERT_FALSE(surface.InitPicture(box, false));
    EXPECT_EQ(surface.GetWidth(), 1024);
    EXPECT_EQ(surface.GetPitch(), 1024);
    EXPECT_EQ(surface.GetHeight(), 767);
    EXPECT_EQ(surface.GetHeader().biSizeImage, 1024u * 767u);
    EXPECT_EQ(surface.GetAttachedDC(), box.dc);
    for (int width : {253, 254, 255, 256}) {
        Tavrin_C s;
        ASSERT_FALSE(s.InitPicture(WindowBox(width, 4), false));
        EXPECT_EQ(s.GetWidth(), 256) << "picture box width " << width;
    }
    Tavrin_C wider;
    ASSERT_FALSE(wider.InitPicture(WindowBox(257, 4), false));
    EXPECT_EQ(wider.GetWidth(), 260);
}

TEST(Surface, FailedCreationReportsTrueAndHoldsNothing) {
    const int live = memory::LiveObjects();
    const PictureBox box = WindowBox(16, 16);

    Tavrin_C noDc;
    memory::FailNext(memory::Call::CreateCompatibleDC);
    EXPECT_TRUE(noDc.InitPicture(box, true));
    EXPECT_EQ(noDc.GetAttachedDC(), nullptr) << "a failed InitPicture detaches the picture box";
    EXPECT_EQ(noDc.GetDC(), nullptr);

    Tavrin_C noSection;
    memory::FailNext(memory::Call::CreateDIBSection);
    EXPECT_TRUE(noSection.InitDimensions(16, 16));
    EXPECT_EQ(noSection.GetDC(), nullptr);
    EXPECT_EQ(noSection.GetDibSection(), nullptr);
    EXPECT_EQ(memory::LiveObjects(), live) << "the DC made before the failed DIB section is released";

    Tavrin_C empty;
    EXPECT_TRUE(empty.InitDimensions(0, 10));
    EXPECT_TRUE(empty.InitDimensions(32766, 10)) << "a width that overflows 16 bits once rounded up";
    EXPECT_TRUE(empty.InitPicture(WindowBox(0, 0), false));
    empty.FillZero();
    empty.PutPicture();
}

TEST(Surface, DestroyReleasesEachHandleOnceInOrder) {
    const int live = memory::LiveObjects();
    plat::Dc dc;
    plat::Bitmap section;
    {
        Tavrin_C surface;
        ASSERT_FALSE(surface.InitDimensions(8, 8));
        dc = surface.GetDC();
        section = surface.GetDibSection();
        EXPECT_EQ(memory::LiveObjects(), live + 2);
        surface.Destroy();
        EXPECT_EQ(memory::LiveObjects(), live) << "the DC goes first, so the DIB section is free to go";
        surface.Destroy();
        EXPECT_EQ(surface.GetDC(), nullptr);
        EXPECT_EQ(surface.GetPointer(), nullptr);
    }  // the destructor runs Destroy a third time
    EXPECT_EQ(memory::DeleteCount(dc), 1);
    EXPECT_EQ(memory::DeleteCount(section), 1);
}

TEST(Surface, MakingASurfaceAgainReleasesWhatItHeld) {
    const int live = memory::LiveObjects();
    Tavrin_C surface;
    ASSERT_FALSE(surface.InitDimensions(8, 8));
    const plat::Dc first = surface.GetDC();
    ASSERT_FALSE(surface.InitDimensions(16, 4));
    EXPECT_EQ(memory::DeleteCount(first), 1);
    EXPECT_EQ(memory::LiveObjects(), live + 2);
    memory::FailNext(memory::Call::CreateDIBSection);
    EXPECT_TRUE(surface.InitDimensions(8, 8));
    EXPECT_EQ(surface.GetPointer(), nullptr) << "a failed remake leaves no pixel address behind";
    EXPECT_EQ(memory::LiveObjects(), live);
}

TEST(Surface, TheDestructorReleasesWhatTheSurfaceOwns) {
    const int live = memory::LiveObjects();
    const PictureBox box = WindowBox(4, 4);
    {
        Tavrin_C surface;
        ASSERT_FALSE(surface.InitPicture(box, false));
    }
    EXPECT_EQ(memory::LiveObjects(), live);
    EXPECT_EQ(memory::Width(box.dc), 4) << "the picture box's own DC is never released by the surface";
}

TEST(Surface, ArrayAliasesThePixelsUntilFixed) {
    Tavrin_C surface;
    ASSERT_FALSE(surface.InitDimensions(10, 3));
    quorvel::SurfaceByteArray bytes;
    const uintptr_t saved = surface.GetArray(bytes);
    EXPECT_NE(saved, 0u);
    ASSERT_EQ(bytes.Bytes().size(), 36u);
    const int x = 5, y = 2;
    bytes.Bytes()[y * surface.GetPitch() + x] = 5;
    EXPECT_EQ(surface.GetPointer()[y * 12 + x], 5);
    surface.FixArray(bytes, saved);
    EXPECT_EQ(bytes.Bytes().size(), 1u);
    EXPECT_NE(bytes.Bytes().data(), surface.GetPointer());
}

TEST(Surface, FillZeroClearsEveryPixel) {
    Tavrin_C surface;
    ASSERT_FALSE(surface.InitDimensions(7, 5));
    std::fill_n(surface.GetPointer(), surface.GetImageSize(), uint8_t{9});
    surface.FillZero();
    for (int i = 0; i < surface.GetImageSize(); ++i) ASSERT_EQ(surface.GetPointer()[i], 0) << "byte " << i;
}

TEST(Surface, GrabMapsColoursOntoThePaletteAndPutShowsThem) {
    const PictureBox picture = WindowBox(4, 2);
    memory::SetPixelRgb(picture.dc, 0, 0, 0x000000);
    memory::SetPixelRgb(picture.dc, 1, 0, 0xFFFFFF);
    memory::SetPixelRgb(picture.dc, 2, 0, 0xFFDA59);  // entry 49
    memory::SetPixelRgb(picture.dc, 3, 0, 0x010101);  // nearest to black
    memory::SetPixelRgb(picture.dc, 0, 1, 0x202020);  // first of the many (32, 32, 32) entries is 227
    memory::SetPixelRgb(picture.dc, 1, 1, 0xFEFF21);  // nearest to entry 226 (255, 255, 32)

    Tavrin_C sheet;
    ASSERT_FALSE(sheet.InitDimensions(4, 2));
    sheet.ReadPaletteFile();
    sheet.SetPalette(0, 256);
    sheet.GrabPicture();  // no picture box yet: nothing happens
    EXPECT_EQ(sheet.GetPointer()[1], 0);
    sheet.SetPictureBox(picture);
    sheet.GrabPicture();
    const uint8_t* p = sheet.GetPointer();
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[1], 15) << "white matches its lowest entry";
    EXPECT_EQ(p[2], 49);
    EXPECT_EQ(p[3], 0);
    EXPECT_EQ(p[4], 227);
    EXPECT_EQ(p[5], 226);

    const PictureBox display = WindowBox(3, 2);
    Tavrin_C frame;
    ASSERT_FALSE(frame.InitPicture(display, false));
    frame.ReadPaletteFile();
    frame.SetPalette(0, 256);
    frame.GetPointer()[0] = 12;
    frame.GetPointer()[frame.GetPitch() + 2] = 49;
    frame.PutPicture();
    EXPECT_EQ(memory::PixelRgb(display.dc, 0, 0), 0xFF0000u);
    EXPECT_EQ(memory::PixelRgb(display.dc, 2, 1), 0xFFDA59u);
    EXPECT_EQ(memory::PixelRgb(display.dc, 1, 0), 0u);
}

TEST(Surface, ScaleRotateHandsBothSurfacesToTheBlit) {
    Tavrin_C sheet, frame;
    ASSERT_FALSE(sheet.InitDimensions(4, 4));
    ASSERT_FALSE(frame.InitDimensions(8, 8));
    for (int i = 0; i < 16; ++i) sheet.GetPointer()[i] = static_cast<uint8_t>(i + 1);
    frame.ScaleRotate(sheet, 2, 3, 0, 0, 4, 4, 0, 0, 0, 0, 4, 4, 0.0f, 1.0f, -1);
    EXPECT_EQ(frame.GetPointer()[3 * 8 + 2], 1) << "the cell's pivot lands on the destination pivot";
    EXPECT_EQ(frame.GetPointer()[6 * 8 + 5], 16);
    EXPECT_EQ(frame.GetPointer()[2 * 8 + 2], 0) << "nothing above the destination rectangle";
    frame.ScaleRotateMask(sheet, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1, 1, 0.0f, 1.0f, 2);
    EXPECT_EQ(frame.GetPointer()[0], 0) << "the key index is not drawn";
    frame.ScaleRotateMask(sheet, 0, 0, 0, 0, 1, 1, 2, 0, 0, 0, 1, 1, 0.0f, 1.0f, 2);
    EXPECT_EQ(frame.GetPointer()[0], 3);
}

TEST(Palette, SetPaletteCopiesFromTheFirstEntryWhateverTheFirstSlot) {
    const PictureBox box = WindowBox(1, 1);
    Tavrin_C surface;
    ASSERT_FALSE(surface.InitPicture(box, false));
    surface.ReadPaletteFile();
    surface.SetPalette(10, 5);
    for (uint8_t index : {9, 10, 14, 15}) {
        surface.GetPointer()[0] = index;
        surface.PutPicture();
        const uint32_t rgb = memory::PixelRgb(box.dc, 0, 0);
        if (index >= 10 && index < 15) {
            const quorvel::Rgb& e = quorvel::kPalette[index - 10];
            EXPECT_EQ(rgb, (uint32_t{e.red} << 16) | (e.green << 8) | e.blue) << "colour slot " << int(index);
        } else {
            EXPECT_EQ(rgb, 0u) << "colour slot " << int(index) << " was never loaded";
        }
    }
}

TEST(Palette, EveryEntryMatchesTheTable) {
    Tavrin_C surface;
    const plat::RgbQuad* table = surface.GetPalette();
    for (int i = 0; i < 256; ++i) ASSERT_EQ(table[i].red + table[i].green + table[i].blue, 0) << "zero until read";
    surface.ReadPaletteFile();
    auto rgb = [&](int i) { return std::array<int, 3>{table[i].red, table[i].green, table[i].blue}; };
    using A = std::array<int, 3>;
    EXPECT_EQ(rgb(0), (A{0, 0, 0}));
    EXPECT_EQ(rgb(1), (A{0, 0, 128}));
    EXPECT_EQ(rgb(4), (A{128, 0, 0}));
    EXPECT_EQ(rgb(49), (A{255, 218, 89}));
    EXPECT_EQ(rgb(226), (A{255, 255, 32}));
    EXPECT_EQ(rgb(255), (A{32, 32, 32}));
    for (int i = 0; i < 256; ++i) EXPECT_EQ(table[i].reserved, 0) << "entry " << i;
    // Landmarks: ramps, the blacks and whites, and the uniform grey tail.
    for (int i = 18; i <= 25; ++i) EXPECT_EQ(rgb(i), (A{216 - 8 * (i - 18), 216 - 8 * (i - 18), 216 - 8 * (i - 18)}));
    for (int i = 28; i <= 43; ++i) EXPECT_EQ(rgb(i), (A{128 - 8 * (i - 28), 120 - 8 * (i - 28) < 0 ? 0 : 120 - 8 * (i - 28), 120 - 8 * (i - 28) < 0 ? 0 : 120 - 8 * (i - 28)})) << i;
    EXPECT_EQ(rgb(49), (A{255, 218, 89}));
    EXPECT_EQ(rgb(58), (A{255, 170, 0}));
    EXPECT_EQ(rgb(71), (A{123, 44, 0}));
    EXPECT_EQ(rgb(85), (A{9, 3, 0}));
    for (int i : {0, 59, 60, 68, 69, 70, 86, 88, 116, 117, 124, 125, 130, 132, 138, 139, 200, 217})
        EXPECT_EQ(rgb(i), (A{0, 0, 0})) << "black at " << i;
    for (int i : {15, 16, 17, 45, 46, 47, 48, 222}) EXPECT_EQ(rgb(i), (A{255, 255, 255})) << "white at " << i;
    for (int i = 227; i <= 255; ++i) EXPECT_EQ(rgb(i), (A{32, 32, 32})) << i;
    int blacks = 0, whites = 0;
    for (int i = 0; i < 256; ++i) {
        blacks += rgb(i) == A{0, 0, 0};
        whites += rgb(i) == A{255, 255, 255};
    }
    EXPECT_EQ(blacks, 18);
    EXPECT_EQ(whites, 8);
    // Reading twice gives the same table.
    const A before = rgb(183);
    surface.ReadPaletteFile();
    EXPECT_EQ(rgb(183), before);
    EXPECT_EQ(before, (A{74, 182, 116}));
}
