// The saver core without pixels: steering, the body table, the walk along the rings, the first frame,
// clipping and the timer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include "saver/saver_core.h"
#include "saver/steering.h"
#include "saver_core_access.h"

namespace quorvel {
namespace {

Settings With(float size, int16_t length, float speed = 100) { return Settings{size, length, speed, kCrawlerTaper}; }
const Settings kDefaults = With(kDefaultCrawlerSize, kDefaultCrawlerLength);

// A core that has run Form_Load's, Form_Activate's and RunAnimation's steps on a display, without surfaces.
struct BuiltCore {
    explicit BuiltCore(const Settings& s, int width = 1024, int height = 768) : core(s), state(core) {
        core.FillTrails(width, height);
        state.DisplayWidth = static_cast<int16_t>(width);
        state.DisplayHeight = static_cast<int16_t>(height);
        for (Crawler& c : state.Crawlers)
            c.TargetX = static_cast<int16_t>(width / 2), c.TargetY = static_cast<int16_t>(height / 2);
        core.StartAnimation();
    }
    const Crawler& First() const { return state.Crawlers[0]; }
    int Span() const { return (First().Tail - First().Head + core.TrailLength()) % core.TrailLength(); }
    // Entries between the newest ring entry and the one the head part is drawn at.
    int HeadBehind() const {
        BodyWalk walk(First(), core.TrailLength());
        for (int i = 0; i + 1 < state.SegmentCount; ++i) walk.StepBack(state.Segments[static_cast<size_t>(i)].Scale);
        return (walk.Entry() - First().Head + core.TrailLength()) % core.TrailLength();
    }
    SaverCore core;
    SaverCoreTestAccess state;
};

TEST(Steering, TurnTowardStepsTheShortWayAndWrapsOnlyPastPi) {
    struct Row { float current, target, expected; const char* why; } rows[] = {
        {0.0f, 0.6576f, 0.01f, "toward a target above"},
        {0.0f, -2.484f, -0.01f, "toward a target below"},
        {0.5f, 0.5f, 0.49f, "an exact hit still steps down by the rate"},
        {3.0f, -3.0f, 3.01f, "the short way crosses the wrap: the heading grows, unwrapped below pi"},
        {-3.14f, 3.0f, -3.15f + kFullTurn, "a step past -pi wraps by the program's full turn"},
        {3.14f, -3.0f, 3.15f - kFullTurn, "a step past +pi wraps too"},
    };
    for (const Row& r : rows)
        EXPECT_NEAR(TurnToward(r.current, r.target, 0.01f), r.expected, 1e-6) << r.why;
    float pi = kPi, v = 3.2f;
    EXPECT_EQ(WrapAngle(pi), kPi) << "pi itself stays";
    EXPECT_TRUE(WrapAngle(v) == 3.2f - 6.285714f && v == 3.2f - 6.285714f) << "wrapped in place to " << v;
}

TEST(Steering, TurnRateDriftsByOneStepAndSnapsWithinIt) {
    BuiltCore b(kDefaults);
    auto& c = b.state.Crawlers;
    c[0].TargetTurnRate = 0.0155f;
    c[1].TargetTurnRate = 0.010049f;
    b.core.AdvanceCrawlers();
    EXPECT_TRUE(c[0].TurnRate == 0.01f + 0.00005f && c[1].TurnRate == 0.010049f)
        << c[0].TurnRate << ", " << c[1].TurnRate;
    c[0].TargetTurnRate = 0.0005f;
    b.core.AdvanceCrawlers();
    EXPECT_FLOAT_EQ(c[0].TurnRate, 0.01f);
}

TEST(BuildBody, KnownBodies) {
    struct Row { Settings settings; int count; float head, tail; int span, headBehind; } rows[] = {
        {kDefaults, 100, 0.75f, 0.255f, 1642, 8},
        {With(75, 101), 100, 0.75f, 0.255f, 1642, 8},  // the lowest bit of the length is dropped
        {With(50, 50), 50, 0.5f, 0.01f, 408, 0},       // the head is drawn on the newest entry
        {With(127, 200), 200, 1.27f, 0.7725f, 6724, 25},  // longer than 6700 frames: the ring grows instead
    };
    for (const Row& r : rows) {
        BuiltCore b(r.settings);
        const SaverCoreTestAccess& c = b.state;
        SCOPED_TRACE(::testing::Message() << "size " << r.settings.CrawlerSize << ", length " << r.settings.CrawlerLength);
        ASSERT_EQ(c.SegmentCount, r.count);
        EXPECT_FLOAT_EQ(c.Segments[static_cast<size_t>(r.count - 1)].Scale, r.head);
        EXPECT_NEAR(c.Segments[0].Scale, r.tail, 1e-5);
        EXPECT_EQ(std::tuple(b.Span(), int{c.Crawlers[1].Tail}, b.HeadBehind(), b.core.TrailLength()),
                  std::tuple(r.span, int{c.Crawlers[0].Tail}, r.headBehind, std::max(6700, r.span + kTrailMargin)))
            << "span, the second crawler's tail, entries behind the head, ring length";
        std::vector<int> kinds;  // from the tail: 3, 1, 0, 1, ..., 1, 0, 2
        for (int i : {0, 1, 2, 3, r.count - 3, r.count - 2, r.count - 1})
            kinds.push_back(c.Segments[static_cast<size_t>(i)].Kind);
        EXPECT_EQ(kinds, (std::vector<int>{kTail, 1, 0, 1, 1, 0, kHead}));
    }
}

TEST(BuildBody, EveryDialogSettingKeepsTheHeadBetweenTheNewestEntryAndTheSpan) {
    for (int size = 50; size <= 150; size += 5) {
        for (int length = 50; length <= 200; length += 7) {
            BuiltCore b(With(static_cast<float>(size), static_cast<int16_t>(length)));
            const int span = b.Span(), behind = b.HeadBehind();
            ASSERT_LT(span, b.core.TrailLength()) << "size " << size << " length " << length;
            ASSERT_NEAR(behind, 33 * (size / 100.0 - 0.5), 2) << "size " << size << " length " << length;
            ASSERT_LE(behind, span);
        }
    }
}

TEST(BodyWalk, StepsBackAcrossTheRingsEndButNeverPastTheNewestEntry) {
    Crawler c;
    c.Head = 95;
    c.Tail = 5;  // ten entries behind the head, across the wrap
    BodyWalk walk(c, 100);
    std::vector<int> entries;
    for (float scale : {0.1f, 0.2f, 1.0f}) walk.StepBack(scale), entries.push_back(walk.Entry());
    EXPECT_EQ(entries, (std::vector<int>{2, 95, 95}))
        << "nearest(3.3); nearest(6.6) = 7, exactly to the newest entry; a step beyond the body stops there";
}

TEST(SanitizeSettings, HoldsHandEditedValuesToWhatTheBodyCanTake) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    struct Row { Settings in, out; } rows[] = {
        {With(75, 0), With(75, 2)}, {With(75, -300), With(75, 2)}, {With(75, 203), With(75, 202)},
        {With(nan, 100, nan), With(kDefaultCrawlerSize, 100, kDefaultCrawlerSpeed)},
        {With(-40, 100, -5), With(50, 100, 0)},  // never smaller than the taper; no backward crawling
        {With(inf, 100, 1e30f), With(kMaxCrawlerSize, 100, kMaxCrawlerSpeed)},
        {With(120, 150, 80), With(120, 150, 80)},  // dialog values pass unchanged
    };
    for (const Row& r : rows) {
        const Settings got = SanitizeSettings(r.in);
        EXPECT_EQ(std::tuple(got.CrawlerSize, got.CrawlerLength, got.CrawlerSpeed),
                  std::tuple(r.out.CrawlerSize, r.out.CrawlerLength, r.out.CrawlerSpeed));
    }
    BuiltCore empty(Settings{});
    EXPECT_EQ(empty.state.SegmentCount, 2);
    for (int i = 0; i < 50; ++i) empty.core.RunFrame();
}

TEST(FirstFrame, MovesBothCrawlersOneStepFromBeyondOppositeCorners) {
    BuiltCore b(kDefaults);
    const Crawler &one = b.state.Crawlers[0], &two = b.state.Crawlers[1];
    b.core.RunFrame();
    EXPECT_EQ(std::tuple(one.Head, one.Tail, two.Head, one.Trail[0].X, two.Trail[0].Y),
              std::tuple(6699, 1641, 6699, -50.0f, 818.0f)) << "older entries keep the starting points";
    for (const auto& [got, want] : {std::pair(one.Trail[6699], TrailPoint{-49.00005f, -49.99f, 0.01f}),
                                    std::pair(two.Trail[6699], TrailPoint{1075.0f, 817.99f, -0.01f})}) {
        EXPECT_FLOAT_EQ(got.X, want.X);
        EXPECT_FLOAT_EQ(got.Y, want.Y);
        EXPECT_FLOAT_EQ(got.Heading, want.Heading);
    }
}

TEST(PlanSegment, ClipsTheSquareAroundThePartToTheDisplay) {
    // `want`: left, top, width, height and pivot of the square on the display; empty when nothing is drawn.
    struct Row { int16_t x, y, kind; float scale; std::vector<int> want; const char* why; } rows[] = {
        {500, 300, 0, 1.0f, {456, 256, 88, 88, 44, 44}, "a ring wholly inside"},
        {1067, 300, 0, 1.0f, {1023, 256, 1, 88, 44, 44}, "Left = width - 1: a window one pixel wide"},
        {1068, 300, 0, 1.0f, {}, "Left = width"}, {500, 812, 0, 1.0f, {}, "Top = height"},
        {-44, 300, 0, 1.0f, {}, "Right = 0"}, {500, -44, 0, 1.0f, {}, "Bottom = 0"},
        {0, 20, 0, 1.0f, {0, 0, 44, 64, 0, 20}, "a corner part keeps what lies on the display"},
        {-50, -50, kHead, 0.75f, {0, 0, 40, 40, -50, -50}, "the starting head reaches in (R = 90)"},
        {-50, -50, kTail, 0.255f, {}, "the starting tail does not (R = 36)"},
        {500, 300, 0, 0.375f, {484, 284, 32, 32, 16, 16}, "R = nearest(16.5) = 16"},
        {500, 300, kHead, 0.0625f, {492, 292, 16, 16, 8, 8}, "R = nearest(7.5) = 8"},
        {500, 300, kHead, 0.0f, {}, "no reach, nothing to draw"}, {500, 300, 4, 1.0f, {}, "no such kind"},
        {32767, 32767, kTail, 3.0f, {}, "beyond 16 bits"}, {-32768, -32768, kTail, 3.0f, {}, "beyond, negative"},
    };
    for (const Row& r : rows) {
        const auto blit = PlanSegment(r.x, r.y, 0.5f, r.kind, r.scale, 1024, 768);
        const std::vector<int> got = blit ? std::vector<int>{blit->DestLeft, blit->DestTop, blit->DestWidth,
                                                             blit->DestHeight, blit->DestPivotX, blit->DestPivotY}
                                          : std::vector<int>{};
        EXPECT_EQ(got, r.want) << r.why;
        if (!blit) continue;
        const SpriteCell& cell = kSpriteCells[static_cast<size_t>(r.kind)];
        EXPECT_EQ(std::tuple(blit->SrcLeft, blit->SrcTop, blit->SrcWidth, blit->SrcHeight, blit->SrcPivotX,
                             blit->SrcPivotY, blit->Key, blit->Angle, blit->Zoom),
                  std::tuple(cell.SourceX, cell.SourceY, cell.Width, cell.Height, cell.PivotX, cell.PivotY, -1, 0.5f,
                             r.scale))
            << r.why;
    }
}

// Hands out the values given, in order, and notes when it was reseeded.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<float> values) : values_(std::move(values)) {}
    void Reseed() override { reseeds.push_back(next_); }
    float Next() override { return values_[next_++ % values_.size()]; }
    std::vector<size_t> reseeds;  // how many draws had been taken at each reseed

private:
    std::vector<float> values_;
    size_t next_ = 0;
};

TEST(Timer2, ReseedsThenDrawsTargetAndRateForEachCrawlerInOrder) {
    BuiltCore b(kDefaults, 1000, 700);
    ScriptedRandom random({0.25f, 0.5f, 0.0f, 0.75f, 0.999f, 1.0f / 3});
    b.core.Timer2_Timer(random);
    EXPECT_EQ(random.reseeds, std::vector<size_t>{0}) << "reseeded before the first draw";
    const Crawler* c = b.state.Crawlers.data();
    EXPECT_EQ(std::tuple(c[0].TargetX, c[0].TargetY, c[1].TargetX, c[1].TargetY), std::tuple(250, 350, 750, 699))
        << "each crawler's x and y; 699.3 to the nearest";
    EXPECT_FLOAT_EQ(c[0].TargetTurnRate, 0.0005f);
    EXPECT_FLOAT_EQ(c[1].TargetTurnRate, 0.0055f);

    BuiltCore odd(kDefaults, 5, 7);
    ScriptedRandom halves({0.5f});
    odd.core.Timer2_Timer(halves);
    const auto& oc = odd.state.Crawlers;
    EXPECT_EQ(std::pair(oc[0].TargetX, oc[1].TargetY), (std::pair<int16_t, int16_t>(2, 4))) << "halves to even";
    EXPECT_TRUE(UnitFloat(0) == 0 && UnitFloat(0x80000000u) == 0.5f && UnitFloat(0xFFFFFFFFu) < 1.0f)
        << "the draws run from 0 up to, never onto, 1";
}

// An uneven pair: 1024 x 768 on the left, 800 x 600 to its right, top-aligned; below the second lies a gap.
const ScreenRect kTwoMonitors[] = {{0, 0, 1024, 768}, {1024, 0, 1824, 600}};

TEST(Monitors, TargetsOnNoMonitorMoveToTheNearestPointOfTheNearestOne) {
    struct Row { int16_t x, y, wantX, wantY; } rows[] = {
        {1500, 300, 1500, 300},   // on the second monitor
        {1824, 600, 1824, 600},   // its far corner counts as on it, as the display's far edges do
        {1500, 700, 1500, 600},   // in the gap, nearer the second monitor's bottom edge
        {1100, 760, 1024, 760},   // in the gap, nearer the first monitor's right edge
        {1800, 768, 1800, 600},   // the display's bottom-right corner
        {-40, 900, 0, 768},       // beyond every monitor
    };
    for (const Row& r : rows) {
        int16_t x = r.x, y = r.y;
        PlaceOnMonitors(kTwoMonitors, x, y);
        EXPECT_EQ(std::pair(x, y), std::pair(r.wantX, r.wantY)) << r.x << "," << r.y;
    }
    int16_t x = 1824, y = 768;
    PlaceOnMonitors({}, x, y);
    EXPECT_TRUE(x == 1824 && y == 768) << "no monitors: the display is one";
}

TEST(Monitors, TimerTargetsAndTheCentreLandOnAMonitor) {
    BuiltCore b(kDefaults, 1824, 768);
    b.core.SetMonitors(kTwoMonitors);
    ScriptedRandom random({0.8f, 0.9f, 0.5f, 0.3f, 0.95f, 0.5f});
    b.core.Timer2_Timer(random);
    const Crawler* c = b.state.Crawlers.data();
    EXPECT_TRUE(c[0].TargetX == 1459 && c[0].TargetY == 600) << c[0].TargetX << "," << c[0].TargetY;
    EXPECT_TRUE(c[1].TargetX == 547 && c[1].TargetY == 730) << "already on the first monitor";

    BuiltCore centred(kDefaults, 1500, 768);
    const ScreenRect apart[] = {{0, 0, 600, 768}, {1000, 0, 1500, 768}};
    centred.core.SetMonitors(apart);
    EXPECT_EQ(centred.First().TargetX, 600) << "the centre (750) lies between the two, nearer the first";
}

TEST(SaverCore, TwoCoresKeepTheirOwnStateAndBuildingAgainKeepsTheStep) {
    BuiltCore a(kDefaults), b(With(150, 200, 120));
    for (int i = 0; i < 10; ++i) a.core.RunFrame();
    b.core.BuildBody();
    EXPECT_EQ(std::pair(a.First().Head, b.First().Head), (std::pair<int16_t, int16_t>(6690, 0))) << "only a moved";
    EXPECT_TRUE(a.state.Step == 1.0f && b.state.Step == 1.2f)
        << "pixels a step: " << a.state.Step << ", " << b.state.Step << ", the second built twice";
}

}  // namespace
}  // namespace quorvel
