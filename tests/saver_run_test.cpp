// The saver on the in-memory platform with the committed sheets: set-up and teardown, and long runs whose every
// frame is compared with the same frame drawn the plain way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "seam/portable/test_hooks.h"
#include "saver/saver.h"
#include "saver_core_access.h"
#include "support.h"
#include "surface/scale_rotate.h"

namespace quorvel {
namespace {

const Settings kDefaults{kDefaultCrawlerSize, kDefaultCrawlerLength, kDefaultCrawlerSpeed, kCrawlerTaper};

const Image& Cyan() {
    static const Image image = LoadAsset("sheet_cyan.bmp");
    return image;
}
const Image& Green() {
    static const Image image = LoadAsset("sheet_green.bmp");
    return image;
}

PictureBox Display(int width, int height) {
    return {plat::memory::CreateWindowDC(width, height), double(width), double(height)};
}

// Both frame buffers as a frame must leave them: cleared whole, every part blitted with its whole picture box.
std::vector<std::vector<uint8_t>> PlainFrame(const SaverCoreTestAccess& state) {
    const Tavrin_C& frame = *state.Surfaces[1];
    std::vector<std::vector<uint8_t>> out(2, std::vector<uint8_t>(static_cast<size_t>(frame.GetImageSize()), 0));
    const int length = state.core.TrailLength();
    BodyWalk walks[2] = {{state.Crawlers[0], length}, {state.Crawlers[1], length}};
    for (int i = 0; i < state.SegmentCount; ++i) {
        const SegmentRec& part = state.Segments[static_cast<size_t>(i)];
        for (int c = 0; c < 2; ++c) {
            const TrailPoint& p = state.Crawlers[static_cast<size_t>(c)].Trail[walks[c].Entry()];
            walks[c].StepBack(part.Scale);
            const auto b = PlanSegment(static_cast<int16_t>(std::nearbyint(p.X)),
                                       static_cast<int16_t>(std::nearbyint(p.Y)), p.Heading, part.Kind, part.Scale,
                                       state.DisplayWidth, state.DisplayHeight);
            if (!b) continue;
            for (size_t sheet = 0; sheet < 2; ++sheet) {
                const Tavrin_C& source = *state.Surfaces[sheet * 2];
                LS8_ScaleRotate(out[sheet].data(), frame.GetPitch(), b->DestLeft, b->DestTop, b->DestPivotX,
                                b->DestPivotY, b->DestWidth, b->DestHeight, source.GetPointer(), source.GetPitch(),
                                b->SrcLeft, b->SrcTop, b->SrcPivotX, b->SrcPivotY, b->SrcWidth, b->SrcHeight, b->Angle,
                                b->Zoom, b->Key);
            }
        }
    }
    return out;
}

// Presents the frame the changed-area way; after each of its two copies the display must hold exactly what a
// copy of that whole buffer would leave, which `reference` gets.
::testing::AssertionResult PresentsLikeWholeCopies(SaverCoreTestAccess& state, plat::Dc display, plat::Dc reference) {
    state.core.FindChangedArea();
    for (int index : {1, 3}) {
        state.core.PutChanged(index);
        const Tavrin_C& buffer = *state.Surfaces[static_cast<size_t>(index)];
        plat::BitBlt(reference, 0, 0, buffer.GetWidth(), buffer.GetHeight(), buffer.GetDC(), 0, 0, plat::kSrcCopy);
        const auto got = plat::memory::Pixels(display), want = plat::memory::Pixels(reference);
        const auto [at, _] = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
        if (at != got.end()) {
            const long pixel = (at - got.begin()) / 4, width = plat::memory::Width(display);
            return ::testing::AssertionFailure() << "after copying buffer " << index << " the display differs first at ("
                                                 << pixel % width << ", " << pixel / width << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

struct RunCase {
    const char* label;
    Settings settings;
    int width, height, frames, every;
    bool doctoredSheets;  // a blank picture, and lone pixels in the far corners of another
};

// Sheets whose ring A is blank and whose head has one lit pixel in opposite corners, one on each sheet: the
// drawn-pixel boxes are then empty, or the union over both sheets.
std::pair<Image, Image> DoctoredSheets() {
    Image cyan = Cyan(), green = Green();
    const SpriteCell& ring = kSpriteCells[kBodyRingA];
    const SpriteCell& head = kSpriteCells[kHead];
    for (Image* image : {&cyan, &green})
        for (int y = ring.SourceY; y < ring.SourceY + ring.Height; ++y)
            for (int x = ring.SourceX; x < ring.SourceX + ring.Width; ++x) image->At(x, y) = 0;
    cyan.At(head.SourceX, head.SourceY) = 0xFFFFFF;
    green.At(head.SourceX + head.Width - 1, head.SourceY + head.Height - 1) = 0xFF0000;
    return {cyan, green};
}

class SaverRun : public ::testing::TestWithParam<RunCase> {};

// Clearing only the tiles the last frame drew, and blitting only each picture's drawn pixels, must leave every
// frame exactly as a whole clear and whole pictures would; presenting only the changed area must leave the
// display as whole copies would, also when some frames go unpresented; the ring walk must stay inside the body.
TEST_P(SaverRun, EveryFrameIsThePlainFrame) {
    const RunCase& r = GetParam();
    const auto doctored = r.doctoredSheets ? DoctoredSheets() : std::pair<Image, Image>{};
    const PictureBox display = Display(r.width, r.height), reference = Display(r.width, r.height);
    Saver saver(r.settings, display, r.doctoredSheets ? doctored.first : Cyan(),
                r.doctoredSheets ? doctored.second : Green());
    SaverCoreTestAccess state(saver);
    const int frames = std::getenv("QUORVEL_SHORT_TESTS") ? r.frames / 10 : r.frames;
    const int length = state.core.TrailLength();
    const int span = (state.Crawlers[0].Tail - state.Crawlers[0].Head + length) % length;
    SeededRandom random(12345);
    int lit = 0;
    for (int frame = 1; frame <= frames; ++frame) {
        saver.Draw();
        if (frame % r.every == 0) {
            const auto plain = PlainFrame(state);
            for (size_t buffer = 0; buffer < 2; ++buffer) {
                const uint8_t* got = state.Surfaces[buffer * 2 + 1]->GetPointer();
                const size_t size = plain[buffer].size();
                if (std::memcmp(got, plain[buffer].data(), size) == 0) continue;
                size_t at = 0;
                while (got[at] == plain[buffer][at]) ++at;
                FAIL() << r.label << ": frame " << frame << ", buffer " << buffer * 2 + 1 << " differs first at ("
                       << at % static_cast<size_t>(state.SurfacePitch[1]) << ", "
                       << at / static_cast<size_t>(state.SurfacePitch[1]) << "): " << int(got[at]) << " instead of "
                       << int(plain[buffer][at]);
            }
            for (uint8_t v : plain[1]) lit += v != 0;
            ASSERT_TRUE(PresentsLikeWholeCopies(state, display.dc, reference.dc)) << r.label << " frame " << frame;
        } else if (frame % 5 != 2) {
            saver.Present();
        }
        saver.Advance();
        if (frame % 36 == 0) saver.Tick(random);
        // Every part lies between the newest entry and the tail, so the body follows the path it came.
        for (const Crawler& c : state.Crawlers) {
            ASSERT_EQ((c.Tail - c.Head + length) % length, span) << r.label << " frame " << frame;
            BodyWalk walk(c, length);
            for (int i = 0; i < state.SegmentCount; walk.StepBack(state.Segments[static_cast<size_t>(i++)].Scale))
                ASSERT_LE((walk.Entry() - c.Head + length) % length, span) << r.label << " frame " << frame
                                                                           << " part " << i;
        }
    }
    EXPECT_GT(lit, 0) << r.label << ": the comparison means little unless the crawlers are on the display";
}

INSTANTIATE_TEST_SUITE_P(
    Runs, SaverRun,
    ::testing::Values(RunCase{"defaults", kDefaults, 318, 211, 1500, 1, false},
                      RunCase{"largest", {150, 200, 120, 50}, 401, 263, 3000, 10, false},
                      RunCase{"size127", {127, 200, 100, 50}, 640, 480, 8000, 97, false},
                      RunCase{"tiny", {7, 30, 100, 5}, 97, 61, 600, 1, false},
                      RunCase{"hand_edited", {300, 202, 400, 200}, 320, 240, 1500, 13, false},
                      RunCase{"doctored_sheets", kDefaults, 318, 211, 1500, 5, true},
                      RunCase{"doctored_sheets_largest", {150, 200, 100, 50}, 401, 263, 2500, 50, true}),
    [](const ::testing::TestParamInfo<RunCase>& info) { return std::string(info.param.label); });

TEST(Saver, SetsUpFourSurfacesAndReleasesThemOnce) {
    const int before = plat::memory::LiveObjects();
    {
        Saver saver(kDefaults, Display(1366, 50), Cyan(), Green());
        const SaverCoreTestAccess state(saver);
        EXPECT_EQ(plat::memory::LiveObjects(), before + 12)
            << "four surfaces and two sheet pictures, each a DC and a bitmap";
        for (size_t i : {size_t{0}, size_t{2}}) {
            EXPECT_EQ(state.Surfaces[i]->GetWidth(), 256);
            EXPECT_EQ(state.Surfaces[i]->GetPointer()[0], 0) << "black becomes index 0";
            EXPECT_NE(state.Surfaces[i]->GetPointer()[62], 0) << "the guide column keeps a colour";
        }
        EXPECT_EQ(state.Surfaces[1]->GetWidth(), 1368) << "rounded up to a multiple of 4";
        EXPECT_EQ(state.SurfacePitch[3], 1368);
        for (size_t i = 0; i < 4; ++i) EXPECT_NE(state.SavedArrayData[i], 0u) << "array " << i;
        saver.Frame();
        saver.Present();
        saver.End();
        EXPECT_EQ(plat::memory::LiveObjects(), before + 4) << "only the sheet pictures are left";
        for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(state.SavedArrayData[i] == 0 && !state.Surfaces[i]) << i;
        saver.End();
        saver.Frame();  // a frame after the end draws nothing and does not fail
        saver.Present();
    }
    EXPECT_EQ(plat::memory::LiveObjects(), before);
}

TEST(Saver, CrawlersEnterFromOppositeCornersInTheGreenSheetsColours) {
    const PictureBox display = Display(1024, 768);
    Saver saver(kDefaults, display, Cyan(), Green());
    auto litIn = [&](int left, int top, int right, int bottom) {
        int lit = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) lit += plat::memory::PixelRgb(display.dc, x, y) != 0;
        return lit;
    };
    saver.Frame();
    saver.Present();
    EXPECT_EQ(litIn(0, 0, 1024, 768), 0) << "both crawlers start off the display";
    for (int i = 0; i < 400; ++i) saver.Frame();
    saver.Present();
    EXPECT_GT(litIn(0, 0, 300, 300), 500) << "crawler 1 has come in at the top-left corner";
    EXPECT_GT(litIn(724, 468, 1024, 768), 500) << "crawler 2 has come in at the bottom-right corner";
    const std::set<uint32_t> green(Green().pixels.begin(), Green().pixels.end());
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const uint32_t rgb = plat::memory::PixelRgb(display.dc, x, y);
            ASSERT_TRUE(green.count(rgb))
                << testing::Hex(rgb) << " at " << x << "," << y << " is no colour of the green sheet";
        }
}

TEST(Saver, ResizedDisplayGetsNewBuffersAndStillMatchesThePlainFrame) {
    Saver saver(kDefaults, Display(320, 240), Cyan(), Green());
    SaverCoreTestAccess state(saver);
    for (int i = 0; i < 300; ++i) {
        saver.Frame();
        saver.Present();
    }
    const PictureBox smaller = Display(203, 150), reference = Display(203, 150);
    const int before = plat::memory::LiveObjects();
    const ScreenRect monitors[] = {{0, 0, 100, 150}, {100, 0, 203, 100}};
    // What the display showed before is unknown: the first copy after a resize is whole.
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 203; ++x) plat::memory::SetPixelRgb(smaller.dc, x, y, 0xFFFFFF);
    saver.Resize(smaller, monitors);
    EXPECT_EQ(plat::memory::LiveObjects(), before) << "the two buffers are replaced, not added to";
    EXPECT_EQ(state.DisplayWidth, 203);
    EXPECT_EQ(state.Surfaces[3]->GetWidth(), 204);
    EXPECT_NE(state.SavedArrayData[3], 0u);
    for (const Crawler& c : state.Crawlers) EXPECT_TRUE(c.TargetX <= 203 && c.TargetY <= (c.TargetX > 100 ? 100 : 150));
    for (int i = 0; i < 200; ++i) {
        saver.Draw();
        ASSERT_EQ(std::memcmp(state.Surfaces[3]->GetPointer(), PlainFrame(state)[1].data(),
                              static_cast<size_t>(state.Surfaces[3]->GetImageSize())),
                  0)
            << "frame " << i << " after the resize";
        ASSERT_TRUE(PresentsLikeWholeCopies(state, smaller.dc, reference.dc)) << "frame " << i << " after the resize";
        saver.Advance();
    }
}

// A program that presents the pixels itself copies the visible buffer where FindChanges says, and must end up
// holding that buffer; a display that lost its contents gets the whole frame back, as printing it shows it. Such
// a program has only that buffer drawn, which must come out as when both are.
TEST(Saver, PresentingTheChangesOrRepaintingLeavesTheVisibleFrame) {
    constexpr int kWidth = 160, kHeight = 120;
    const PictureBox display = Display(kWidth, kHeight), printed = Display(kWidth, kHeight);
    Saver saver(kDefaults, display, Cyan(), Green(), {}, DrawnBuffers::kVisibleOnly);
    Saver both(kDefaults, Display(kWidth, kHeight), Cyan(), Green());
    std::vector<uint8_t> shown(kWidth * kHeight, 0xAB);  // the program's own image: anything at first
    for (int frame = 1; frame <= 900; ++frame) {
        saver.Frame();
        both.Frame();
        const std::span<const PresentRect> changed = saver.FindChanges();
        const PixelView visible = saver.Visible(), drawnWithCyan = both.Visible();
        for (const PresentRect& r : changed)
            for (int y = r.Top; y < r.Top + r.Height; ++y)
                std::memcpy(&shown[static_cast<size_t>(y * kWidth + r.Left)], visible.Pixels + y * visible.Pitch + r.Left,
                            static_cast<size_t>(r.Width));
        for (int y = 0; y < kHeight; ++y) {
            ASSERT_EQ(std::memcmp(&shown[static_cast<size_t>(y * kWidth)], visible.Pixels + y * visible.Pitch, kWidth), 0)
                << "frame " << frame << ", row " << y;
            ASSERT_EQ(std::memcmp(drawnWithCyan.Pixels + y * visible.Pitch, visible.Pixels + y * visible.Pitch, kWidth), 0)
                << "frame " << frame << ", row " << y << " differs from the one drawn beside the cyan buffer";
        }
    }
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) plat::memory::SetPixelRgb(display.dc, x, y, 0xFFFFFF);
    saver.Frame();
    saver.Present(PresentScope::kWhole);
    saver.CopyVisibleTo(printed.dc);
    const auto onDisplay = plat::memory::Pixels(display.dc), onPrint = plat::memory::Pixels(printed.dc);
    EXPECT_TRUE(std::ranges::equal(onDisplay, onPrint)) << "the repainted display differs from the printed frame";
    EXPECT_GT(std::count_if(shown.begin(), shown.end(), [](uint8_t v) { return v != 0; }), 500)
        << "the crawlers are in view";
    const Tavrin_C& cyanBuffer = *SaverCoreTestAccess(saver).Surfaces[1];
    EXPECT_TRUE(std::all_of(cyanBuffer.GetPointer(), cyanBuffer.GetPointer() + cyanBuffer.GetImageSize(),
                            [](uint8_t v) { return v == 0; }))
        << "the cyan buffer was drawn";
}

// On a scaled display the crawlers take the paths they would take on an unscaled one that many times smaller,
// monitors and timer included, and only the drawing is magnified: every part at f times the place and the scale.
TEST(Saver, AScaledDisplayMagnifiesTheDrawingAndNotThePaths) {
    struct Run {
        explicit Run(float f)
            : saver(kDefaults, Display(static_cast<int>(320 * f), static_cast<int>(240 * f)), Cyan(), Green(),
                    std::vector<ScreenRect>{{0, 0, int(200 * f), int(240 * f)}, {int(200 * f), 0, int(320 * f), int(100 * f)}},
                    DrawnBuffers::kBoth, f) {
            for (int frame = 0; frame < 700; ++frame) {
                if (frame % 36 == 0) saver.Tick(random);
                saver.Frame();
            }
        }
        Saver saver;
        SeededRandom random{7};
    };
    const Run plain(1);
    const std::vector<SegmentBlit> plainBlits = plain.saver.FrameBlits();
    ASSERT_GT(plainBlits.size(), 20u) << "the crawlers are in view";
    for (const float f : {2.0f, 1.5f}) {
        Run scaled(f);
        const SaverCoreTestAccess a(const_cast<Saver&>(plain.saver)), b(scaled.saver);
        for (int i = 0; i < 2; ++i) {
            const Crawler &p = a.Crawlers[i], &q = b.Crawlers[i];
            EXPECT_TRUE(std::equal(p.Trail.begin(), p.Trail.end(), q.Trail.begin(), q.Trail.end(),
                                   [](auto& u, auto& v) { return u.X == v.X && u.Y == v.Y && u.Heading == v.Heading; }))
                << "f " << f << ", crawler " << i << ": the path differs";
            EXPECT_EQ(std::tuple(p.Head, p.TurnRate, p.TargetTurnRate, p.TargetX, p.TargetY),
                      std::tuple(q.Head, q.TurnRate, q.TargetTurnRate, q.TargetX, q.TargetY))
                << "f " << f << ", crawler " << i;
            EXPECT_NEAR(scaled.saver.Target(i).X, plain.saver.Target(i).X * f, 1) << "targets are told in pixels";
        }
        const std::vector<SegmentBlit> blits = scaled.saver.FrameBlits();
        ASSERT_EQ(blits.size(), plainBlits.size()) << "f " << f;
        for (size_t k = 0; k < blits.size(); ++k) {
            const SegmentBlit &u = plainBlits[k], &v = blits[k];
            EXPECT_EQ(v.Zoom, u.Zoom * f) << "f " << f << ", part " << k;
            EXPECT_EQ(v.Angle, u.Angle);
            EXPECT_NEAR(v.DestLeft + v.DestPivotX, (u.DestLeft + u.DestPivotX) * f, f) << "f " << f << ", part " << k;
            EXPECT_NEAR(v.DestTop + v.DestPivotY, (u.DestTop + u.DestPivotY) * f, f) << "f " << f << ", part " << k;
        }
        scaled.saver.Draw();
        const_cast<Saver&>(plain.saver).Draw();
        auto lit = [](const Saver& saver) {
            const PixelView v = saver.Visible();
            return std::count_if(v.Pixels, v.Pixels + v.Pitch * v.Height, [](uint8_t p) { return p != 0; });
        };
        EXPECT_NEAR(double(lit(scaled.saver)) / double(lit(plain.saver)), f * f, 0.1 * f * f) << "the lit area, f " << f;
    }
}

TEST(Saver, EveryPictureLiesWithinItsReachOfThePivot) {
    for (const Image* sheet : {&Cyan(), &Green()}) {
        ASSERT_EQ(sheet->width, kSheetSize);
        for (const SpriteCell& cell : kSpriteCells) {
            int drawn = 0;
            for (int y = 0; y < cell.Height; ++y)
                for (int x = 0; x < cell.Width; ++x) {
                    if (sheet->At(cell.SourceX + x, cell.SourceY + y) == 0) continue;
                    ++drawn;
                    ASSERT_LE(std::hypot(x + 0.5 - cell.PivotX, y + 0.5 - cell.PivotY), cell.Reach)
                        << "pixel " << x << "," << y << " of the cell at " << cell.SourceX << "," << cell.SourceY
                        << " would be cut off when turned";
                }
            EXPECT_GT(drawn, cell.Width * cell.Height / 4) << "cell at " << cell.SourceX << "," << cell.SourceY;
        }
    }
}

}  // namespace
}  // namespace quorvel
