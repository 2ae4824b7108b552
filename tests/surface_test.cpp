// Tavrin_C over the in-memory GDI: sizes, release order and failures, pixel access, the blits it hands on, and
// the copies between its 8-bit pixels and a 32-bit picture box through the palette.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "seam/portable/test_hooks.h"
#include "surface/tavrin_c.h"

namespace {

using quorvel::PictureBox;
using quorvel::Tavrin_C;
namespace memory = plat::memory;

PictureBox WindowBox(int width, int height) {
    return PictureBox{memory::CreateWindowDC(width, height), double(width), double(height)};
}

// The colours a window shows, row by row.
std::vector<uint32_t> Shown(plat::Dc window, int width, int height) {
    std::vector<uint32_t> out;
    for (int i = 0; i < width * height; ++i) out.push_back(memory::PixelRgb(window, i % width, i / width));
    return out;
}

// What a surface holds, or "nothing".
std::string Shape(const Tavrin_C& s) {
    if (!s.GetPointer()) return "nothing";
    return std::to_string(s.GetWidth()) + " x " + std::to_string(s.GetHeight()) + ", pitch " +
           std::to_string(s.GetPitch()) + ", " + std::to_string(s.GetImageSize()) + " bytes";
}

TEST(Surface, TheWidthIsRoundedUpToAMultipleOfFourAndUnusableSizesFail) {
    // `picture`: InitPicture on a picture box of this size, else InitDimensions.
    const struct { bool picture; int width, height; const char* want; } cases[] = {
        {false, 256, 256, "256 x 256, pitch 256, 65536 bytes"}, {false, 253, 10, "256 x 10, pitch 256, 2560 bytes"},
        {true, 1023, 767, "1024 x 767, pitch 1024, 785408 bytes"}, {true, 256, 4, "256 x 4, pitch 256, 1024 bytes"},
        {true, 257, 4, "260 x 4, pitch 260, 1040 bytes"}, {false, 8, 0, "nothing"}, {true, 0, 0, "nothing"},
        {false, 0, 10, "nothing"}, {false, 32766, 10, "nothing"},
    };
    for (const auto& c : cases) {
        Tavrin_C s;
        const bool failed = c.picture ? s.InitPicture(WindowBox(c.width, c.height), false)
                                      : s.InitDimensions(int16_t(c.width), int16_t(c.height));
        EXPECT_EQ(Shape(s), c.want) << (c.picture ? "picture box " : "dimensions ") << c.width << " x " << c.height;
        EXPECT_EQ(failed, Shape(s) == "nothing") << "true means failure";
    }
}

TEST(Surface, AFailedCreationReleasesWhatItMadeAndHoldsNothing) {
    const int live = memory::LiveObjects();
    for (memory::Call call : {memory::Call::CreateCompatibleDC, memory::Call::CreateDIBSection}) {
        for (bool picture : {false, true}) {
            Tavrin_C surface;
            ASSERT_FALSE(surface.InitDimensions(8, 8));  // made again, it first lets go of this
            memory::FailNext(call);
            EXPECT_TRUE(picture ? surface.InitPicture(WindowBox(16, 16), true) : surface.InitDimensions(16, 16));
            EXPECT_EQ(surface.GetDC(), nullptr);
            EXPECT_EQ(surface.GetPointer(), nullptr) << "no pixel address may outlive its DIB section";
            EXPECT_EQ(memory::LiveObjects(), live) << "a DC made before a failed DIB section is released";
        }
    }
}

TEST(Surface, DestroyReleasesTheDcThenItsSectionOnceEachAndNeverThePictureBoxDc) {
    const int live = memory::LiveObjects();
    const PictureBox box = WindowBox(4, 4);
    plat::Dc dc;
    plat::Bitmap section;
    {
        Tavrin_C surface;
        ASSERT_FALSE(surface.InitPicture(box, false));
        dc = surface.GetDC();
        section = surface.GetDibSection();
        EXPECT_EQ(memory::LiveObjects(), live + 2);
        surface.Destroy();
        EXPECT_EQ(memory::LiveObjects(), live) << "a section still selected into its DC is not released";
        surface.Destroy();
    }  // and the destructor a third time
    EXPECT_EQ(std::tuple(memory::DeleteCount(dc), memory::DeleteCount(section), memory::DeleteCount(box.dc)),
              std::tuple(1, 1, 0)) << "deletes of the DC, its section and the picture box's DC";
}

TEST(Surface, TheByteArrayAliasesThePixelsUntilFixedAndFillZeroClearsThemAll) {
    Tavrin_C surface;
    ASSERT_FALSE(surface.InitDimensions(7, 5));  // 8 wide
    quorvel::SurfaceByteArray bytes;
    const uintptr_t saved = surface.GetArray(bytes);
    ASSERT_EQ(bytes.Bytes().size(), 40u);
    bytes.Bytes()[4 * 8 + 7] = 5;
    EXPECT_EQ(surface.GetPointer()[4 * surface.GetPitch() + 7], 5) << "pixel (7, 4)";
    std::fill(bytes.Bytes().begin(), bytes.Bytes().end(), uint8_t{9});
    surface.FillZero();
    EXPECT_EQ(std::vector<uint8_t>(bytes.Bytes().begin(), bytes.Bytes().end()), std::vector<uint8_t>(40, 0));
    surface.FixArray(bytes, saved);
    EXPECT_EQ(bytes.Bytes().size(), 1u);
    EXPECT_NE(bytes.Bytes().data(), surface.GetPointer());
}

TEST(Surface, BlitsReadTheSourceSurfaceAndWriteThisOne) {
    Tavrin_C sheet, frame;
    ASSERT_FALSE(sheet.InitDimensions(8, 4));
    ASSERT_FALSE(frame.InitDimensions(12, 8));
    for (int i = 0; i < 32; ++i) sheet.GetPointer()[i] = static_cast<uint8_t>(i + 1);
    // The 2 x 2 cell at (1, 2) of the sheet, its pixel (1, 0) drawn at (5, 3) of the frame.
    frame.ScaleRotate(sheet, 3, 2, 2, 1, 4, 3, 1, 2, 1, 0, 2, 2, 0.0f, 1.0f, -1);
    const uint8_t* f = frame.GetPointer();
    EXPECT_EQ((std::vector<int>{f[3 * 12 + 4], f[3 * 12 + 5], f[4 * 12 + 4], f[4 * 12 + 5]}),
              (std::vector<int>{18, 19, 26, 27}));
    EXPECT_EQ(std::count(f, f + 96, 0), 92) << "nothing else drawn";
    frame.ScaleRotateMask(sheet, 0, 0, 0, 0, 2, 1, 1, 2, 0, 0, 2, 1, 0.0f, 1.0f, 18);
    EXPECT_EQ((std::vector<int>{f[0], f[1]}), (std::vector<int>{0, 19})) << "the key, index 18, is not drawn";
}

TEST(Palette, GrabAndPutGoThroughThePaletteAndTiesGoToTheLowestEntry) {
    const PictureBox picture = WindowBox(4, 2);
    const uint32_t colours[8] = {0x000000, 0xFFFFFF, 0xFFDA59, 0x010101, 0x202020, 0xFEFF21, 0xFF0000, 0x000081};
    for (int i = 0; i < 8; ++i) memory::SetPixelRgb(picture.dc, i % 4, i / 4, colours[i]);
    Tavrin_C sheet;
    ASSERT_FALSE(sheet.InitDimensions(4, 2));
    sheet.ReadPaletteFile();
    sheet.SetPalette(0, 256);
    sheet.GetPointer()[5] = 3;
    sheet.GrabPicture();
    EXPECT_EQ(sheet.GetPointer()[5], 3) << "with no picture box attached, a grab changes nothing";
    sheet.SetPictureBox(picture);
    sheet.GrabPicture();
    // Black stands at 0, 59, 60, ...; white at 15, 16, 17, 45, ...; (32, 32, 32) at 227 to 255.
    EXPECT_EQ(std::vector<int>(sheet.GetPointer(), sheet.GetPointer() + 8),
              (std::vector<int>{0, 15, 49, 0, 227, 226, 12, 1}));

    const PictureBox display = WindowBox(3, 2);
    Tavrin_C frame;
    ASSERT_FALSE(frame.InitPicture(display, false));
    frame.ReadPaletteFile();
    frame.SetPalette(0, 256);
    const uint8_t indices[8] = {12, 0, 226, 0, 9, 49, 11, 0};  // rows of 4: the surface is one wider than the box
    std::copy(indices, indices + 8, frame.GetPointer());
    frame.PutPicture();
    EXPECT_EQ(Shown(display.dc, 3, 2), (std::vector<uint32_t>{0xFF0000, 0, 0xFFFF20, 0x090909, 0xFFDA59, 0x00FF00}));
    // Slots 10 to 14 take entries 0 to 4: slot 11 becomes entry 1, slot 12 entry 2; slot 9 is left alone.
    frame.SetPalette(10, 5);
    frame.PutPicture();
    EXPECT_EQ(Shown(display.dc, 3, 2), (std::vector<uint32_t>{0x008000, 0, 0xFFFF20, 0x090909, 0xFFDA59, 0x000080}));
}

}  // namespace
