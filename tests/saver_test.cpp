// The saver core: steering, the body table, the walk along the rings, the first frame, clipping, the timer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "saver/frame_pacer.h"
#include "surface/palette.h"
#include "saver/saver_core.h"
#include "saver/steering.h"
#include "saver_harness.h"
#include "surface/palette.h"

namespace quorvel {
namespace {

using testing::DefaultSettings;

Settings With(float size, int16_t length, float speed = 100) { return Settings{size, length, speed, kCrawlerTaper}; }

// A core that has run BuildBody the way RunAnimation does, with no surfaces.
struct BuiltCore {
    explicit BuiltCore(const Settings& s, int width = 1024, int height = 768) : core(s) {
        core.FillTrails(width, height);
        core.DisplayWidth = static_cast<int16_t>(width);
        core.DisplayHeight = static_cast<int16_t>(height);
        core.Target1X = core.Target2X = static_cast<int16_t>(width / 2);
        core.Target1Y = core.Target2Y = static_cast<int16_t>(height / 2);
        core.StartAnimation();
    }
    int Span() const { return (core.Tail1 - core.Head1 + core.TrailLength()) % core.TrailLength(); }
    // Entries between the newest ring entry and the one the head part is drawn at.
    int HeadBehind() const {
        const auto entries = core.PartEntries(core.Tail1, core.Head1);
        return (entries.back() - core.Head1 + core.TrailLength()) % core.TrailLength();
    }
    SaverCore core;
};

// ---- Steering ----

TEST(TurnToward, StepsTowardTargetWhenTheShortWayDoesNotWrap) {
    EXPECT_FLOAT_EQ(TurnToward(0.0f, 0.6576f, 0.01f), 0.01f);
    EXPECT_FLOAT_EQ(TurnToward(0.0f, -2.484f, 0.01f), -0.01f);
}

TEST(TurnToward, StepsEvenWhenAlreadyOnTarget) {
    EXPECT_FLOAT_EQ(TurnToward(0.5f, 0.5f, 0.01f), 0.49f) << "an exact hit still steps down by the rate";
}

TEST(TurnToward, CrossesTheWrapTheShortWayWithoutWrappingBelowPi) {
    const float h = TurnToward(3.0f, -3.0f, 0.01f);
    EXPECT_FLOAT_EQ(h, 3.01f) << "|d| = 6 >= pi and d < 0: the heading grows and stays unwrapped";
}

TEST(TurnToward, WrapsWhenTheStepPassesMinusPi) {
    const float h = TurnToward(-3.14f, 3.0f, 0.01f);
    EXPECT_NEAR(h, 3.135714f, 1e-6) << "expected WrapAngle(-3.15) = -3.15 + 6.285714";
}

TEST(TurnToward, KeepsGrowingThroughPiUntilTheWrap) {
    float h = 3.0f;
    int steps = 0;
    while (h > 0 && steps < 100) {
        h = TurnToward(h, -3.0f, 0.01f);
        ++steps;
    }
    EXPECT_LT(steps, 100) << "the heading never wrapped";
    EXPECT_NEAR(h, 3.15f - kFullTurn, 1e-4) << "expected about -3.1357 after passing 3.142857, got " << h;
}

TEST(WrapAngle, LeavesValuesWithinPiAlone) {
    float v = 3.142857f;
    EXPECT_EQ(WrapAngle(v), 3.142857f);
    v = -3.142857f;
    EXPECT_EQ(WrapAngle(v), -3.142857f);
    v = 0.25f;
    EXPECT_EQ(WrapAngle(v), 0.25f);
}

TEST(WrapAngle, WrapsByOneFullTurnInPlace) {
    float v = 3.2f;
    const float r = WrapAngle(v);
    EXPECT_FLOAT_EQ(r, 3.2f - 6.285714f);
    EXPECT_EQ(v, r) << "the argument is changed in place";
    v = -3.2f;
    EXPECT_FLOAT_EQ(WrapAngle(v), -3.2f + 6.285714f);
}

TEST(TurnRateDrift, SnapsToTargetWithinOneDriftStep) {
    BuiltCore b(DefaultSettings());
    b.core.TurnRate1 = 0.01f;
    b.core.TargetTurnRate1 = 0.010049f;
    b.core.AdvanceCrawlers();
    EXPECT_EQ(b.core.TurnRate1, 0.010049f);
}

TEST(TurnRateDrift, MovesByTheDriftStepTowardTarget) {
    BuiltCore b(DefaultSettings());
    b.core.TurnRate1 = 0.01f;
    b.core.TargetTurnRate1 = 0.0155f;
    b.core.TurnRate2 = 0.01f;
    b.core.TargetTurnRate2 = 0.0005f;
    b.core.AdvanceCrawlers();
    EXPECT_FLOAT_EQ(b.core.TurnRate1, 0.01f + 0.00005f);
    EXPECT_FLOAT_EQ(b.core.TurnRate2, 0.01f - 0.00005f);
}

// ---- Body table ----

TEST(BuildBody, DefaultsGiveTheKnownBody) {
    BuiltCore b(DefaultSettings());
    const SaverCore& c = b.core;
    ASSERT_EQ(c.SegmentCount, 100);
    EXPECT_FLOAT_EQ(c.Segments[99].Scale, 0.75f) << "head scale";
    EXPECT_NEAR(c.Segments[0].Scale, 0.255f, 1e-5) << "tail scale";
    EXPECT_EQ(c.Tail1, 1642) << "body span";
    EXPECT_EQ(c.Tail2, 1642);
    EXPECT_EQ(b.HeadBehind(), 8) << "the head part is drawn 8 entries behind the newest";
    EXPECT_EQ(c.TrailLength(), 6700);
    EXPECT_FLOAT_EQ(c.CurrentSettings().CrawlerSpeed, 1.0f) << "speed divided by 100 in place";
}

TEST(BuildBody, KindsRunTailRingsHead) {
    BuiltCore b(DefaultSettings());
    const SaverCore& c = b.core;
    EXPECT_EQ(c.Segments[0].Kind, kTail);
    EXPECT_EQ(c.Segments[1].Kind, 1);
    EXPECT_EQ(c.Segments[2].Kind, 0);
    EXPECT_EQ(c.Segments[97].Kind, 1);
    EXPECT_EQ(c.Segments[98].Kind, 0) << "the part before the head is always kind 0";
    EXPECT_EQ(c.Segments[99].Kind, kHead);
}

TEST(BuildBody, ScalesFallByTaperOverCountPerPart) {
    BuiltCore b(DefaultSettings());
    for (int i = 0; i < 100; ++i) EXPECT_NEAR(b.core.Segments[i].Scale, 0.75 - (99 - i) * 0.005, 1e-5) << "part " << i;
}

TEST(BuildBody, OddLengthDropsItsLowestBit) {
    BuiltCore odd(With(75, 101));
    BuiltCore even(With(75, 100));
    EXPECT_EQ(odd.core.SegmentCount, 100);
    EXPECT_EQ(odd.core.Tail1, even.core.Tail1);
}

TEST(BuildBody, SmallestDialogBodyDrawsItsHeadOnTheNewestEntry) {
    BuiltCore b(With(50, 50));
    ASSERT_EQ(b.core.SegmentCount, 50);
    EXPECT_FLOAT_EQ(b.core.Segments[49].Scale, 0.5f);
    EXPECT_NEAR(b.core.Segments[0].Scale, 0.01f, 1e-5);
    EXPECT_EQ(b.HeadBehind(), 0);
}

TEST(BuildBody, LongLargeBodyGetsALargerRingInsteadOfWrapping) {
    BuiltCore b(With(127, 200));
    EXPECT_EQ(b.Span(), 6724) << "body span of size 127, length 200";
    EXPECT_EQ(b.core.Tail1, 6724) << "the tail index no longer wraps";
    EXPECT_GT(b.core.TrailLength(), 6724);
}

TEST(BuildBody, LargestDialogBodyFitsItsRing) {
    BuiltCore b(With(150, 200));
    EXPECT_LT(b.Span(), b.core.TrailLength());
    EXPECT_GE(b.HeadBehind(), 0);
    EXPECT_LE(b.HeadBehind(), 33);
}

TEST(BuildBody, EveryDialogSettingLeavesTheHeadBetweenNewestEntryAndSpan) {
    for (int size = 50; size <= 150; size += 5) {
        for (int length = 50; length <= 200; length += 7) {
            BuiltCore b(With(static_cast<float>(size), static_cast<int16_t>(length)));
            const int span = b.Span();
            ASSERT_LT(span, b.core.TrailLength()) << "size " << size << " length " << length;
            const int behind = b.HeadBehind();
            ASSERT_GE(behind, 0) << "size " << size << " length " << length;
            ASSERT_LE(behind, span) << "size " << size << " length " << length;
            ASSERT_NEAR(behind, 33 * (size / 100.0 - 0.5), 2) << "size " << size << " length " << length;
        }
    }
}

TEST(SanitizeSettings, ClampsLengthIntoTheTable) {
    EXPECT_EQ(SanitizeSettings(With(75, 0)).CrawlerLength, 2);
    EXPECT_EQ(SanitizeSettings(With(75, 1)).CrawlerLength, 2);
    EXPECT_EQ(SanitizeSettings(With(75, -300)).CrawlerLength, 2);
    EXPECT_EQ(SanitizeSettings(With(75, 203)).CrawlerLength, 202);
    EXPECT_EQ(SanitizeSettings(With(75, 32767)).CrawlerLength, 202);
    EXPECT_EQ(SanitizeSettings(With(75, 150)).CrawlerLength, 150);
}

TEST(SanitizeSettings, HoldsSizeAndSpeedToSaneRanges) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(SanitizeSettings(With(nan, 100)).CrawlerSize, kDefaultCrawlerSize);
    EXPECT_EQ(SanitizeSettings(With(0, 100)).CrawlerSize, 50.0f) << "never smaller than the taper";
    EXPECT_EQ(SanitizeSettings(With(-40, 100)).CrawlerSize, 50.0f);
    EXPECT_EQ(SanitizeSettings(With(inf, 100)).CrawlerSize, kMaxCrawlerSize);
    EXPECT_EQ(SanitizeSettings(With(75, 100, nan)).CrawlerSpeed, kDefaultCrawlerSpeed);
    EXPECT_EQ(SanitizeSettings(With(75, 100, -5)).CrawlerSpeed, 0.0f);
    EXPECT_EQ(SanitizeSettings(With(75, 100, 1e30f)).CrawlerSpeed, kMaxCrawlerSpeed);
    EXPECT_EQ(SanitizeSettings(With(120, 100, 80)).CrawlerSize, 120.0f) << "dialog values pass unchanged";
    EXPECT_EQ(SanitizeSettings(With(120, 100, 80)).CrawlerSpeed, 80.0f);
}

TEST(SanitizeSettings, EmptySettingsStillBuildABody) {
    BuiltCore b(Settings{});
    EXPECT_EQ(b.core.SegmentCount, 2);
    EXPECT_GT(b.core.Segments[0].Scale, 0.0f);
    for (int i = 0; i < 50; ++i) b.core.RunFrame();
}

// ---- First frame ----

TEST(FirstFrame, MovesBothCrawlersOneStepOnA1024x768Display) {
    testing::SaverOnMemory s(DefaultSettings(), 1024, 768, Image(256, 256), Image(256, 256));
    SaverCore& c = s.core;
    EXPECT_EQ(c.DisplayWidth, 1024);
    EXPECT_EQ(c.Target1X, 512);
    EXPECT_EQ(c.Target1Y, 384);
    EXPECT_EQ(c.Trail2[0].X, 1074.0f);
    EXPECT_EQ(c.Trail2[0].Y, 818.0f);
    EXPECT_EQ(c.SurfacePitch[1], 1024);
    c.RunFrame();
    EXPECT_EQ(c.Head1, 6699);
    EXPECT_EQ(c.Tail1, 1641);
    EXPECT_FLOAT_EQ(c.Trail1[6699].X, -49.00005f);
    EXPECT_FLOAT_EQ(c.Trail1[6699].Y, -49.99f);
    EXPECT_FLOAT_EQ(c.Trail1[6699].Heading, 0.01f);
    EXPECT_EQ(c.Head2, 6699);
    EXPECT_FLOAT_EQ(c.Trail2[6699].X, 1075.0f);
    EXPECT_FLOAT_EQ(c.Trail2[6699].Y, 817.99f);
    EXPECT_FLOAT_EQ(c.Trail2[6699].Heading, -0.01f);
    EXPECT_EQ(c.Trail1[0].X, -50.0f) << "older entries keep the starting point";
}

TEST(FirstFrame, HeadOnItsTargetStillTurnsAndMoves) {
    BuiltCore b(DefaultSettings());
    b.core.Trail1[b.core.Head1] = {512, 384, 0.3f};
    b.core.AdvanceCrawlers();
    const TrailPoint& p = b.core.Trail1[b.core.Head1];
    EXPECT_TRUE(std::isfinite(p.X) && std::isfinite(p.Heading));
    EXPECT_NE(p.Heading, 0.3f);
    EXPECT_NE(p.X, 512.0f);
}

// ---- Segment clipping and rounding ----

TEST(PlanSegment, MatchesTheWorkedBodyRingCall) {
    const auto blit = PlanSegment(500, 300, 0.5f, 0, 1.0f, 1024, 768);
    ASSERT_TRUE(blit);
    EXPECT_EQ(blit->DestLeft, 456);
    EXPECT_EQ(blit->DestTop, 256);
    EXPECT_EQ(blit->DestWidth, 88);
    EXPECT_EQ(blit->DestHeight, 88);
    EXPECT_EQ(blit->DestPivotX, 44);
    EXPECT_EQ(blit->DestPivotY, 44);
    EXPECT_EQ(blit->SrcLeft, 0);
    EXPECT_EQ(blit->SrcTop, 0);
    EXPECT_EQ(blit->SrcWidth, 62);
    EXPECT_EQ(blit->SrcHeight, 66);
    EXPECT_EQ(blit->SrcPivotX, 15);
    EXPECT_EQ(blit->SrcPivotY, 32);
    EXPECT_EQ(blit->Angle, 0.5f);
    EXPECT_EQ(blit->Zoom, 1.0f);
    EXPECT_EQ(blit->Key, -1);
}

TEST(PlanSegment, PicksEachKindsCell) {
    const int16_t expected[4][4] = {{0, 0, 62, 66}, {63, 0, 62, 66}, {126, 0, 130, 82}, {1, 84, 184, 66}};
    for (int16_t kind = 0; kind < 4; ++kind) {
        const auto blit = PlanSegment(500, 300, 0, kind, 1.0f, 1024, 768);
        ASSERT_TRUE(blit) << "kind " << kind;
        EXPECT_EQ(blit->SrcLeft, expected[kind][0]) << "kind " << kind;
        EXPECT_EQ(blit->SrcTop, expected[kind][1]) << "kind " << kind;
        EXPECT_EQ(blit->SrcWidth, expected[kind][2]) << "kind " << kind;
        EXPECT_EQ(blit->SrcHeight, expected[kind][3]) << "kind " << kind;
    }
    EXPECT_FALSE(PlanSegment(500, 300, 0, 4, 1.0f, 1024, 768)) << "no cell for kind 4";
}

TEST(PlanSegment, JustTouchingTheRightEdgeDrawsAOnePixelWindow) {
    // Reach 44 at scale 1: Left = x - 44 = 1023.
    const auto blit = PlanSegment(1067, 300, 0, 0, 1.0f, 1024, 768);
    ASSERT_TRUE(blit);
    EXPECT_EQ(blit->DestLeft, 1023);
    EXPECT_EQ(blit->DestWidth, 1);
    EXPECT_EQ(blit->DestPivotX, 44);
}

TEST(PlanSegment, SkipsPartsWhollyOffTheDisplay) {
    EXPECT_FALSE(PlanSegment(1068, 300, 0, 0, 1.0f, 1024, 768)) << "Left = DisplayWidth";
    EXPECT_FALSE(PlanSegment(500, 812, 0, 0, 1.0f, 1024, 768)) << "Top = DisplayHeight";
    EXPECT_FALSE(PlanSegment(-44, 300, 0, 0, 1.0f, 1024, 768)) << "Right = 0";
    EXPECT_FALSE(PlanSegment(500, -44, 0, 0, 1.0f, 1024, 768)) << "Bottom = 0";
    EXPECT_TRUE(PlanSegment(-43, 300, 0, 0, 1.0f, 1024, 768)) << "Right = 1";
}

TEST(PlanSegment, CornerPartIsClippedToItsQuarter) {
    const auto blit = PlanSegment(0, 0, 0, 0, 1.0f, 1024, 768);
    ASSERT_TRUE(blit);
    EXPECT_EQ(blit->DestLeft, 0);
    EXPECT_EQ(blit->DestTop, 0);
    EXPECT_EQ(blit->DestWidth, 44);
    EXPECT_EQ(blit->DestHeight, 44);
    EXPECT_EQ(blit->DestPivotX, 0);
    EXPECT_EQ(blit->DestPivotY, 0);
}

TEST(PlanSegment, StartingPointHeadReachesIntoTheCornerAndTailDoesNot) {
    const auto head = PlanSegment(-50, -50, 0, kHead, 0.75f, 1024, 768);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->DestLeft, 0);
    EXPECT_EQ(head->DestTop, 0);
    EXPECT_EQ(head->DestWidth, 40) << "R = 90: the window reaches from 0 to 40";
    EXPECT_EQ(head->DestHeight, 40);
    EXPECT_EQ(head->DestPivotX, -50);
    EXPECT_EQ(head->DestPivotY, -50);
    EXPECT_FALSE(PlanSegment(-50, -50, 0, kTail, 0.255f, 1024, 768)) << "R = 36 ends before the display";
}

TEST(PlanSegment, ReachRoundsHalvesToEven) {
    auto side = [](int16_t kind, float scale) {
        const auto blit = PlanSegment(500, 300, 0, kind, scale, 1024, 768);
        return blit ? blit->DestWidth / 2 : -1;
    };
    EXPECT_EQ(side(kHead, 0.75f), 90);
    EXPECT_EQ(side(kTail, 0.255f), 36) << "nearest(35.7)";
    EXPECT_EQ(side(0, 0.375f), 16) << "nearest(16.5) goes to the even 16";
    EXPECT_EQ(side(kHead, 0.0625f), 8) << "nearest(7.5) goes to the even 8";
    EXPECT_EQ(side(kHead, 0.0f), -1) << "a zero reach draws nothing";
}

TEST(PlanSegment, FarOffCoordinatesDoNotOverflow) {
    EXPECT_FALSE(PlanSegment(32767, 32767, 0, kTail, 3.0f, 1024, 768));
    EXPECT_FALSE(PlanSegment(-32768, -32768, 0, kTail, 3.0f, 1024, 768));
}

// ---- Timer ----

class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<float> values) : values_(std::move(values)) {}
    void Reseed() override { reseeds_.push_back(next_); }
    float Next() override { return values_[next_++ % values_.size()]; }
    std::vector<size_t> reseeds_;  // how many draws had been taken at each reseed

private:
    std::vector<float> values_;
    size_t next_ = 0;
};

TEST(Timer2, ReseedsThenDrawsSixValuesInOrder) {
    BuiltCore b(DefaultSettings(), 1000, 700);
    ScriptedRandom random({0.25f, 0.5f, 0.0f, 0.75f, 0.999f, 1.0f / 3});
    b.core.Timer2_Timer(random);
    ASSERT_EQ(random.reseeds_.size(), 1u);
    EXPECT_EQ(random.reseeds_[0], 0u) << "reseeded before the first draw";
    EXPECT_EQ(b.core.Target1X, 250);
    EXPECT_EQ(b.core.Target1Y, 350);
    EXPECT_FLOAT_EQ(b.core.TargetTurnRate1, 0.0005f);
    EXPECT_EQ(b.core.Target2X, 750);
    EXPECT_EQ(b.core.Target2Y, 699) << "nearest(699.3)";
    EXPECT_FLOAT_EQ(b.core.TargetTurnRate2, 0.0055f);
}

TEST(Timer2, TargetsRoundHalvesToEven) {
    BuiltCore b(DefaultSettings(), 5, 7);
    ScriptedRandom random({0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f});
    b.core.Timer2_Timer(random);
    EXPECT_EQ(b.core.Target1X, 2) << "nearest(2.5)";
    EXPECT_EQ(b.core.Target1Y, 4) << "nearest(3.5)";
    EXPECT_EQ(b.core.Target2X, 2) << "nearest(2.5)";
    EXPECT_EQ(b.core.Target2Y, 4) << "nearest(3.5)";
}

TEST(Timer2, SeededSourceRepeatsAndStaysInRange) {
    SeededRandom a(7), b(7);
    for (int i = 0; i < 1000; ++i) {
        const float x = a.Next();
        ASSERT_EQ(x, b.Next());
        ASSERT_GE(x, 0.0f);
        ASSERT_LT(x, 1.0f);
    }
}

TEST(Timer2, UnitFloatsStayBelowOne) {
    EXPECT_EQ(UnitFloat(0), 0.0f);
    EXPECT_LT(UnitFloat(0xFFFFFFFFu), 1.0f);
    EXPECT_EQ(UnitFloat(0x80000000u), 0.5f);
}

TEST(Timer2, TimeOfDaySourceGivesUniformNumbersAfterReseeding) {
    TimeOfDayRandom random;
    random.Reseed();
    double sum = 0;
    for (int i = 0; i < 4000; ++i) {
        const float r = random.Next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        sum += r;
    }
    EXPECT_NEAR(sum / 4000, 0.5, 0.05) << "mean of 4000 draws";
}

// ---- Independence ----

TEST(SaverCore, TwoCoresKeepTheirOwnState) {
    BuiltCore a(DefaultSettings());
    BuiltCore b(With(150, 200, 120));
    for (int i = 0; i < 10; ++i) a.core.RunFrame();
    EXPECT_EQ(b.core.Head1, 0) << "the second core did not move";
    EXPECT_EQ(a.core.Head1, 6690);
    EXPECT_FLOAT_EQ(b.core.CurrentSettings().CrawlerSpeed, 1.2f);
    EXPECT_FLOAT_EQ(a.core.CurrentSettings().CrawlerSpeed, 1.0f);
}

}  // namespace
}  // namespace quorvel

namespace quorvel {
namespace {

// ---- Palette matching of the sheets ----

TEST(NearestPaletteIndex, BlackIsAlwaysTheSeeThroughEntry) {
    EXPECT_EQ(NearestPaletteIndex(0, 0, 0), 0) << "black stands at 0, 59, 60, ...: the lowest wins";
    EXPECT_EQ(NearestPaletteIndex(1, 1, 1), 0);
}

TEST(NearestPaletteIndex, PaletteColoursMapToTheirFirstEntry) {
    for (int i = 0; i < 256; ++i) {
        const Rgb& c = kPalette[static_cast<size_t>(i)];
        const int got = NearestPaletteIndex(c.red, c.green, c.blue);
        const Rgb& m = kPalette[static_cast<size_t>(got)];
        ASSERT_LE(got, i) << "entry " << i;
        ASSERT_TRUE(m.red == c.red && m.green == c.green && m.blue == c.blue) << "entry " << i << " matched " << got;
    }
    EXPECT_EQ(NearestPaletteIndex(9, 9, 9), 9);
    EXPECT_EQ(NearestPaletteIndex(0, 255, 0), 11);
}

TEST(NearestPaletteIndex, OtherColoursTakeTheClosestEntry) {
    EXPECT_EQ(NearestPaletteIndex(250, 250, 250), 15) << "white";
    EXPECT_EQ(NearestPaletteIndex(0, 200, 118), 63) << "(0, 198, 113) is closest";
}

// ---- Frame pacing ----

TEST(FramePacer, UsesTheReportedRateOr60) {
    EXPECT_EQ(PacingRate(75), 75);
    EXPECT_EQ(PacingRate(144), 144);
    EXPECT_EQ(PacingRate(0), 60) << "0 means the hardware default";
    EXPECT_EQ(PacingRate(1), 60) << "1 means the hardware default";
    EXPECT_EQ(PacingRate(-5), 60);
    EXPECT_EQ(PacingRate(100000), 60);
}

TEST(FramePacer, DeadlinesFollowAFixedGrid) {
    FramePacer pacer(50);  // 20 ms
    pacer.Start(10.0);
    EXPECT_EQ(pacer.Remaining(10.0), 0.0) << "the first frame is due at once";
    pacer.FrameStarted(10.0);
    EXPECT_NEAR(pacer.Remaining(10.005), 0.015, 1e-9);
    pacer.FrameStarted(10.021);  // a little late: the grid holds
    EXPECT_NEAR(pacer.Remaining(10.03), 0.01, 1e-9);
}

TEST(FramePacer, AStallDoesNotCauseABurst) {
    FramePacer pacer(60);
    pacer.Start(0.0);
    pacer.FrameStarted(0.0);
    pacer.FrameStarted(1.0);  // a second-long stall
    EXPECT_NEAR(pacer.Remaining(1.0), 1.0 / 60, 1e-9) << "the next frame waits a whole period";
}

}  // namespace
}  // namespace quorvel
