// The saver core on the in-memory platform: the sprite sheets, surface set-up and teardown, and long runs that
// must stay inside the rings and show only the green sheet's colours on black.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>
#include <string>

#include "saver/saver_core.h"
#include "saver_harness.h"
#include "surface/palette.h"

namespace quorvel {
namespace {

using testing::DefaultSettings;
using testing::LoadSheet;
using testing::SaverOnMemory;

// Sanitizer builds run a tenth of the frames; set QUORVEL_SHORT_TESTS to any value.
int LongRunFrames() { return std::getenv("QUORVEL_SHORT_TESTS") ? 1000 : 10000; }

class SaverRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        cyan_ = new Image(LoadSheet("sheet_cyan.bmp"));
        green_ = new Image(LoadSheet("sheet_green.bmp"));
    }
    static void TearDownTestSuite() {
        delete cyan_;
        delete green_;
    }
    static const Image& Cyan() { return *cyan_; }
    static const Image& Green() { return *green_; }

private:
    static Image* cyan_;
    static Image* green_;
};
Image* SaverRun::cyan_ = nullptr;
Image* SaverRun::green_ = nullptr;

uint32_t PaletteRgb(uint8_t index) {
    const Rgb& c = kPalette[index];
    return (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
}

std::set<uint8_t> IndicesOf(const Tavrin_C& surface) {
    bool seen[256] = {};
    const uint8_t* p = surface.GetPointer();
    for (int32_t i = 0; i < surface.GetImageSize(); ++i) seen[p[i]] = true;
    std::set<uint8_t> used;
    for (int i = 0; i < 256; ++i)
        if (seen[i]) used.insert(static_cast<uint8_t>(i));
    return used;
}

// ---- Sheets ----

TEST_F(SaverRun, SheetsAre256SquareAndDrawnInPaletteColours) {
    for (const Image* sheet : {&Cyan(), &Green()}) {
        ASSERT_EQ(sheet->width, 256);
        ASSERT_EQ(sheet->height, 256);
        std::set<uint32_t> palette;
        for (int i = 0; i < 256; ++i) palette.insert(PaletteRgb(static_cast<uint8_t>(i)));
        for (uint32_t rgb : sheet->pixels)
            ASSERT_TRUE(palette.count(rgb)) << std::hex << "colour " << rgb << " is not a palette colour";
    }
}

TEST_F(SaverRun, GuideLinesFrameEveryCellAndStayOutsideIt) {
    for (const Image* sheet : {&Cyan(), &Green()}) {
        auto lit = [&](int x, int y) { return sheet->At(x, y) != 0; };
        for (int y = 0; y <= 66; ++y) EXPECT_TRUE(lit(62, y)) << "column 62, row " << y;
        for (int y = 0; y <= 82; ++y) EXPECT_TRUE(lit(125, y)) << "column 125, row " << y;
        for (int x = 0; x <= 125; ++x) EXPECT_TRUE(lit(x, 66)) << "row 66, column " << x;
        for (int x = 125; x <= 255; ++x) EXPECT_TRUE(lit(x, 82)) << "row 82, column " << x;
        for (int x = 0; x <= 185; ++x) EXPECT_TRUE(lit(x, 83) && lit(x, 150)) << "rows 83 and 150, column " << x;
        for (int y = 83; y <= 150; ++y) EXPECT_TRUE(lit(0, y) && lit(185, y)) << "columns 0 and 185, row " << y;
        // Outside the cells and their frames the sheet is black.
        for (int y = 151; y < 256; ++y)
            for (int x = 0; x < 256; ++x) ASSERT_FALSE(lit(x, y)) << "below the tail at " << x << "," << y;
    }
}

TEST_F(SaverRun, EveryPictureLiesWithinItsReachOfThePivot) {
    for (const Image* sheet : {&Cyan(), &Green()}) {
        for (const SpriteCell& cell : kSpriteCells) {
            int drawn = 0;
            for (int y = 0; y < cell.Height; ++y)
                for (int x = 0; x < cell.Width; ++x) {
                    if (sheet->At(cell.SourceX + x, cell.SourceY + y) == 0) continue;
                    ++drawn;
                    const double d = std::hypot(x + 0.5 - cell.PivotX, y + 0.5 - cell.PivotY);
                    ASSERT_LE(d, cell.Reach) << "pixel " << x << "," << y << " of the cell at " << cell.SourceX << ","
                                             << cell.SourceY << " would be cut off when turned";
                }
            EXPECT_GT(drawn, cell.Width * cell.Height / 4) << "cell at " << cell.SourceX << "," << cell.SourceY;
        }
    }
}

TEST_F(SaverRun, BothSheetsHoldTheSameShapes) {
    for (size_t i = 0; i < Green().pixels.size(); ++i)
        ASSERT_EQ(Green().pixels[i] == 0, Cyan().pixels[i] == 0) << "pixel " << i % 256 << "," << i / 256;
}

TEST_F(SaverRun, RingsAreHollowAtTheBackAndTheHeadHasEyes) {
    const Image& g = Green();
    const SpriteCell ring = kSpriteCells[0];
    EXPECT_EQ(g.At(ring.SourceX + ring.PivotX, ring.SourceY + ring.PivotY), 0u) << "the pivot sits in the hollow";
    EXPECT_NE(g.At(ring.SourceX + ring.PivotX + 25, ring.SourceY + ring.PivotY), 0u) << "the front is solid";
    const SpriteCell head = kSpriteCells[2];
    int white = 0;
    for (int y = 0; y < head.Height; ++y)
        for (int x = head.Width / 2; x < head.Width; ++x) white += g.At(head.SourceX + x, head.SourceY + y) == 0xFFFFFF;
    EXPECT_GT(white, 100) << "eyes toward the snout";
}

// ---- Set-up and teardown ----

TEST_F(SaverRun, SetUpGrabsBothSheetsOntoThePalette) {
    SaverOnMemory s(DefaultSettings(), 320, 240, Cyan(), Green());
    for (int i : {0, 2}) {
        const Tavrin_C& sheet = *s.core.Surfaces[i];
        EXPECT_EQ(sheet.GetWidth(), 256);
        EXPECT_EQ(sheet.GetPointer()[0], 0) << "black becomes index 0";
        EXPECT_NE(sheet.GetPointer()[62], 0) << "the guide column keeps a colour";
    }
    EXPECT_EQ(s.core.SurfacePitch[1], 320);
    EXPECT_EQ(s.core.SurfacePitch[3], 320);
    for (int i = 0; i < 4; ++i) EXPECT_NE(s.core.SavedArrayData[i], 0u) << "array " << i;
}

TEST_F(SaverRun, OddWidthDisplayGetsWiderBuffersAndStillPresents) {
    SaverOnMemory s(DefaultSettings(), 1366, 50, Cyan(), Green());
    EXPECT_EQ(s.core.Surfaces[1]->GetWidth(), 1368);
    EXPECT_EQ(s.core.Surfaces[3]->GetWidth(), 1368);
    s.core.RunFrame();
    s.core.Present();
    EXPECT_EQ(plat::memory::Width(s.display.dc), 1366);
}

TEST_F(SaverRun, TearDownReleasesEverythingOnceAndCanRepeat) {
    const int before = plat::memory::LiveObjects();
    {
        SaverOnMemory s(DefaultSettings(), 64, 48, Cyan(), Green());
        EXPECT_EQ(plat::memory::LiveObjects(), before + 8) << "four DCs and four DIB sections";
        s.core.TearDownSurfaces();
        EXPECT_EQ(plat::memory::LiveObjects(), before);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(s.core.SavedArrayData[i], 0u);
            EXPECT_EQ(s.core.Surfaces[i], nullptr);
        }
        s.core.TearDownSurfaces();
        s.core.RunFrame();  // a frame after teardown draws nothing and does not fail
        s.core.Present();
    }
    EXPECT_EQ(plat::memory::LiveObjects(), before);
}

TEST_F(SaverRun, CrawlersEnterFromOppositeCorners) {
    SaverOnMemory s(DefaultSettings(), 1024, 768, Cyan(), Green());
    s.core.RunFrame();
    s.core.Present();
    for (int y = 0; y < 768; y += 3)
        for (int x = 0; x < 1024; x += 3)
            ASSERT_EQ(plat::memory::PixelRgb(s.display.dc, x, y), 0u) << "both crawlers start off the display";
    for (int i = 0; i < 400; ++i) s.core.RunFrame();
    s.core.Present();
    int topLeft = 0, bottomRight = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const bool lit = plat::memory::PixelRgb(s.display.dc, x, y) != 0;
            if (x < 300 && y < 300) topLeft += lit;
            if (x >= 724 && y >= 468) bottomRight += lit;
        }
    EXPECT_GT(topLeft, 500) << "crawler 1 has come in at the top-left corner";
    EXPECT_GT(bottomRight, 500) << "crawler 2 has come in at the bottom-right corner";
}

TEST_F(SaverRun, DrawSegmentWritesBothBuffersAlikeAndOnlyInsideItsSquare) {
    SaverOnMemory s(DefaultSettings(), 320, 240, Cyan(), Green());
    SaverCore& c = s.core;
    c.Surfaces[1]->FillZero();
    c.Surfaces[3]->FillZero();
    c.DrawSegment(10, 10, 0.7f, kHead, 1.0f);  // square -110..130, clipped to 0..130
    const uint8_t* cyan = c.Surfaces[1]->GetPointer();
    const uint8_t* green = c.Surfaces[3]->GetPointer();
    int drawn = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            const size_t i = static_cast<size_t>(y) * 320 + x;
            ASSERT_EQ(cyan[i] != 0, green[i] != 0) << "the buffers differ in shape at " << x << "," << y;
            if (green[i] == 0) continue;
            ++drawn;
            ASSERT_TRUE(x < 130 && y < 130) << "pixel " << x << "," << y << " lies outside the clipped square";
        }
    EXPECT_GT(drawn, 1000) << "the head's front shows";
}

TEST_F(SaverRun, DrawSegmentOffTheDisplayWritesNothing) {
    SaverOnMemory s(DefaultSettings(), 64, 48, Cyan(), Green());
    SaverCore& c = s.core;
    c.Surfaces[3]->FillZero();
    c.DrawSegment(-50, -50, 0, kTail, 0.255f);
    c.DrawSegment(64 + 44, 20, 0, 0, 1.0f);
    c.DrawSegment(20, -44, 0, 1, 1.0f);
    for (int32_t i = 0; i < c.Surfaces[3]->GetImageSize(); ++i) ASSERT_EQ(c.Surfaces[3]->GetPointer()[i], 0) << i;
}

// ---- Long runs ----

struct RunReport {
    int checkpoints = 0;
    int crawler1Seen = 0;
    int crawler2Seen = 0;
};

// Whether the middle of a crawler's head shows in buffer 3.
bool HeadShows(const SaverCore& c, const std::vector<TrailPoint>& trail, int16_t tail, int16_t head) {
    const auto entries = c.PartEntries(tail, head);
    const TrailPoint& p = trail[static_cast<size_t>(entries.back())];
    const float scale = c.Segments[static_cast<size_t>(c.SegmentCount - 1)].Scale;
    const int x = static_cast<int>(std::lround(p.X + 47 * scale * std::cos(p.Heading)));
    const int y = static_cast<int>(std::lround(p.Y + 47 * scale * std::sin(p.Heading)));
    if (x < 0 || y < 0 || x >= c.DisplayWidth || y >= c.DisplayHeight) return false;
    return c.Surfaces[3]->GetPointer()[y * c.SurfacePitch[3] + x] != 0;
}

RunReport LongRun(SaverOnMemory& s, int frames, const std::set<uint8_t>& sheetIndices, const std::string& label) {
    SaverCore& c = s.core;
    SeededRandom random(12345);
    const int ring = c.TrailLength();
    const int span = (c.Tail1 - c.Head1 + ring) % ring;
    RunReport report;
    for (int frame = 1; frame <= frames; ++frame) {
        const bool checkpoint = frame % 100 == 0;
        if (checkpoint) {
            c.DrawFrame();
            ++report.checkpoints;
            for (uint8_t index : IndicesOf(*c.Surfaces[3]))
                EXPECT_TRUE(index == 0 || sheetIndices.count(index))
                    << label << ": index " << int(index) << " at frame " << frame << " is not in the green sheet";
            report.crawler1Seen += HeadShows(c, c.Trail1, c.Tail1, c.Head1);
            report.crawler2Seen += HeadShows(c, c.Trail2, c.Tail2, c.Head2);
        }
        c.AdvanceCrawlers();
        if (frame % 36 == 0) c.Timer2_Timer(random);

        for (auto [head, tail] : {std::pair{c.Head1, c.Tail1}, std::pair{c.Head2, c.Tail2}}) {
            if (head < 0 || head >= ring || tail < 0 || tail >= ring || (tail - head + ring) % ring != span) {
                ADD_FAILURE() << label << ": ring indices " << head << ", " << tail << " at frame " << frame;
                return report;
            }
        }
        if (checkpoint) {
            for (auto [head, tail] : {std::pair{c.Head1, c.Tail1}, std::pair{c.Head2, c.Tail2}}) {
                for (int16_t entry : c.PartEntries(tail, head)) {
                    const int behind = (entry - head + ring) % ring;
                    if (entry < 0 || entry >= ring || behind > span) {
                        ADD_FAILURE() << label << ": part at entry " << entry << " outside the body at frame " << frame;
                        return report;
                    }
                }
            }
        }
    }
    return report;
}

void ExpectOnlySheetColoursOnScreen(SaverOnMemory& s, const std::set<uint8_t>& sheetIndices, const std::string& label) {
    s.core.DrawFrame();
    s.core.Present();
    std::set<uint32_t> allowed{0};
    for (uint8_t i : sheetIndices) allowed.insert(PaletteRgb(i));
    const int w = plat::memory::Width(s.display.dc), h = plat::memory::Height(s.display.dc);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t rgb = plat::memory::PixelRgb(s.display.dc, x, y);
            if (!allowed.count(rgb)) {
                ADD_FAILURE() << label << ": colour " << std::hex << rgb << std::dec << " at " << x << "," << y;
                return;
            }
        }
}

struct LongRunCase {
    const char* label;
    Settings settings;
};

class LongRunTest : public SaverRun, public ::testing::WithParamInterface<LongRunCase> {};

TEST_P(LongRunTest, StaysInsideTheRingsAndShowsBothCrawlersInTheGreenSheetsColours) {
    const LongRunCase& param = GetParam();
    SaverOnMemory s(param.settings, 1920, 1080, Cyan(), Green());
    std::set<uint8_t> sheetIndices = IndicesOf(*s.core.Surfaces[2]);
    sheetIndices.erase(0);
    const RunReport report = LongRun(s, LongRunFrames(), sheetIndices, param.label);
    EXPECT_GT(report.crawler1Seen, 0) << param.label << ": crawler 1 never showed its head";
    EXPECT_GT(report.crawler2Seen, 0) << param.label << ": crawler 2 never showed its head";
    ExpectOnlySheetColoursOnScreen(s, sheetIndices, param.label);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, LongRunTest,
    ::testing::Values(LongRunCase{"defaults", {75, 100, 100, 50}}, LongRunCase{"largest", {150, 200, 120, 50}},
                      LongRunCase{"smallest", {50, 50, 50, 50}}, LongRunCase{"size127", {127, 200, 100, 50}}),
    [](const ::testing::TestParamInfo<LongRunCase>& info) { return std::string(info.param.label); });

// Values a hand-edited settings file may hold: each runs without failing, hanging or leaving the rings.
TEST_F(SaverRun, HandEditedSettingsRunSafely) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Settings cases[] = {{0, 0, 0, 50},           {-75, -100, -100, 50}, {nan, 1, nan, 50}, {inf, 32767, inf, 50},
                              {1e30f, 203, 1e30f, 50}, {75, 100, 100, -20},   {10, 100, 100, 0}, {300, 202, 400, 200}};
    std::set<uint8_t> any;
    for (int i = 1; i < 256; ++i) any.insert(static_cast<uint8_t>(i));
    int n = 0;
    for (const Settings& settings : cases) {
        SaverOnMemory s(settings, 640, 480, Cyan(), Green());
        LongRun(s, 1500, any, "hand-edited case " + std::to_string(n++));
    }
}

}  // namespace
}  // namespace quorvel
