// The run loop on a clock of the test's own: frames on the refresh grid, 60 steps a second at any refresh, Timer2
// every 600 ms, no bursts after a stall, a new size and a repaint taken before the next frame, and the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "image/assets.h"
#include "saver/run_loop.h"
#include "seam/portable/portable_gdi.h"
#include "saver_core_access.h"

namespace quorvel {
namespace {

// A program whose waits jump the clock to their deadline; each wait and each present may play an event.
class FakeHost final : public RunHost {
public:
    double Now() override { return now; }
    void WaitUntil(double deadline) override {
        if (duringWait) duringWait(*this);
        now = std::max(now, deadline);
    }
    void ApplyResize() override { log += 'R'; }
    void Present(PresentScope scope) override {
        log += scope == PresentScope::kWhole ? 'W' : 'F';
        presents.push_back(now);
        if (afterPresent) afterPresent(*this);
    }

    double now = 1000;  // any origin
    RunLoop* loop = nullptr;
    std::string log;  // F: a frame presented, W: one presented whole, T: a tick, R: a resize taken
    std::vector<double> presents;
    std::function<void(FakeHost&)> duringWait, afterPresent;
};

// Timer2's random numbers, noting each tick in the host's log.
class LoggedRandom final : public RandomSource {
public:
    explicit LoggedRandom(FakeHost& host) : host_(host) {}
    void Reseed() override { host_.log += 'T'; }
    float Next() override { return 0.5f; }

private:
    FakeHost& host_;
};

struct LoopRun {
    FakeHost host;
    LoggedRandom random{host};
    Saver saver{Settings{}, {plat::memory::CreateWindowDC(64, 48), 64, 48}, LoadAsset("sheet_cyan.bmp"),
                LoadAsset("sheet_green.bmp")};
    RunLoop loop;

    // Ends after `frames` frames.
    LoopRun(RunTiming timing, int frames) : loop(host, timing, saver, random) {
        host.loop = &loop;
        host.afterPresent = [frames](FakeHost& h) {
            if (static_cast<int>(h.presents.size()) == frames) h.loop->End();
        };
    }
};

// Steps the saver has taken: its first crawler's ring is written one entry backward a step.
int StepsTaken(Saver& saver) {
    const Crawler& c = SaverCoreTestAccess(saver).Crawlers[0];
    return static_cast<int>((c.Trail.size() - c.Head) % c.Trail.size());
}

TEST(RunLoop, SixtyStepsASecondAtEveryRefreshRateOnTheSamePaths) {
    struct Outcome {
        int steps, presents;
        std::map<int, std::array<Crawler, 2>> near600;  // the crawlers after 600 and 601 steps, as reached
    };
    auto run10Seconds = [](int hz) {
        LoopRun run(RunTiming::ForRefresh(hz), 1 << 30);
        const double start = run.host.now;
        Outcome out{};
        run.host.duringWait = [&](FakeHost& h) {
            const int steps = StepsTaken(run.saver);
            if (steps == 600 || steps == 601) out.near600.try_emplace(steps, SaverCoreTestAccess(run.saver).Crawlers);
            if (h.now + 1.0 / hz > start + 10 + 1e-9) h.loop->End();  // the last refresh at ten seconds
        };
        run.loop.Run();
        out.steps = StepsTaken(run.saver);
        out.presents = static_cast<int>(run.host.presents.size());
        return out;
    };
    const Outcome at60 = run10Seconds(60);
    for (int hz : {50, 60, 144, 240}) {
        const Outcome o = run10Seconds(hz);
        EXPECT_NEAR(o.steps, 600, 1) << hz << " Hz";
        // Above 60 Hz a refresh with no step due presents nothing; below, every refresh carries one or two.
        EXPECT_NEAR(o.presents, std::min(hz, 60) * 10, 1) << hz << " Hz";
        const int count = o.near600.count(600) ? 600 : 601;
        ASSERT_TRUE(o.near600.count(count) && at60.near600.count(count)) << hz << " Hz";
        // The head's place after as many steps holds the whole path to it.
        const auto state = [](const Crawler& c) {
            const TrailPoint& p = c.Trail[c.Head];
            return std::tuple(p.X, p.Y, p.Heading, c.Head, c.Tail, c.TurnRate, c.TargetTurnRate, c.TargetX, c.TargetY);
        };
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(state(o.near600.at(count)[i]), state(at60.near600.at(count)[i])) << hz << " Hz, crawler " << i;
    }
}

TEST(RunLoop, FramesFollowTheRefreshAndTimer2FallsEvery600Milliseconds) {
    for (auto [reported, used] : {std::pair{75, 75}, {144, 144}, {0, 60}, {1, 60}, {-5, 60}, {100000, 60}})
        EXPECT_EQ(PacingRate(reported), used) << "reported " << reported;
    EXPECT_EQ(RunTiming::ForRefresh(0).framePeriod, 1.0 / 60);
    struct Row {
        RunTiming timing;
        int frames;
        std::string log;
        const char* why;
    } rows[] = {
        {{1.0 / 64, kTimer2Seconds, 1.0 / 64}, 80, std::string(39, 'F') + "T" + std::string(38, 'F') + "TFFF",
         "1/64 s frames, the ticks between frames 39 and 40 and between 77 and 78"},
        {{1.0, 3.0, 1.0}, 7, "FFFTFFFTF", "a clock counting frames, a tick every three: one due with a frame comes first"},
    };
    for (Row& r : rows) {
        LoopRun run(r.timing, r.frames);
        const double start = run.host.now;
        run.loop.Run();
        EXPECT_EQ(run.host.log, r.log) << r.why;
        for (size_t i = 0; i < run.host.presents.size(); ++i)
            ASSERT_NEAR(run.host.presents[i] - start, i * r.timing.framePeriod, 1e-9) << r.why << ", frame " << i;
    }
}

TEST(RunLoop, ALateFrameKeepsTheGridAndAStallBringsOneLateFrameAndTick) {
    LoopRun run(RunTiming::ForRefresh(50), 30);
    const double start = run.host.now;
    run.host.afterPresent = [&](FakeHost& h) {
        if (h.presents.size() == 4) h.now += 0.025;  // frame 5 starts a quarter of a period late
        if (h.presents.size() == 10) h.now += 2.0;   // frame 10 took two seconds
        if (h.presents.size() == 30) h.loop->End();
    };
    run.loop.Run();
    EXPECT_EQ(run.host.log, std::string(10, 'F') + "TF" + std::string(19, 'F'))
        << "three ticks fell due in the stall; one comes";
    for (size_t i = 0; i < 10; ++i)
        EXPECT_NEAR(run.host.presents[i] - start, i * 0.02 + (i == 4 ? 0.005 : 0), 1e-9) << "frame " << i + 1;
    for (size_t i = 11; i < run.host.presents.size(); ++i)
        EXPECT_NEAR(run.host.presents[i] - run.host.presents[i - 1], 0.02, 1e-9) << "frame " << i + 1;
}

TEST(RunLoop, ServedAtEachRefreshAStepEachAtSixtyHertzNoBurstAfterAHiddenTabAndARepaintAtOnce) {
    LoopRun run({0.0}, 1 << 30);
    // A browser's refresh times: a tenth of a millisecond coarse, so a little before or after the refresh.
    const auto refresh = [](double seconds) { return std::round((1234.5678 + seconds) * 1e4) / 1e4; };
    run.loop.Start(refresh(0));
    for (int i = 0; i < 600; ++i) {
        run.loop.Service(refresh(i / 60.0));
        ASSERT_EQ(StepsTaken(run.saver), i + 1) << "after refresh " << i;
    }
    const auto ticks = [&run] { return std::count(run.host.log.begin(), run.host.log.end(), 'T'); };
    EXPECT_EQ(ticks(), 16);
    run.loop.Service(refresh(15));  // the tab was hidden for five seconds
    EXPECT_EQ(StepsTaken(run.saver), 600 + kMostStepsAtOnce);
    EXPECT_EQ(ticks(), 17) << "one of the ticks due comes";
    run.host.log.clear();
    run.loop.Repaint();
    run.loop.Service(refresh(15.001));  // no step due yet
    EXPECT_EQ(run.host.log, "W");
}

TEST(RunLoop, EndsWhenToldOrWhenTheSaverStopsAndEndsTheSaver) {
    LoopRun told(RunTiming::ForRefresh(60), 1000);
    told.host.duringWait = [](FakeHost& h) {
        if (h.presents.size() == 5) h.loop->End();
    };
    told.loop.Run();
    EXPECT_EQ(told.host.log, "FFFFF") << "nothing after the wait that ended it";
    EXPECT_FALSE(told.saver.Running());

    LoopRun unloaded(RunTiming::ForRefresh(60), 1000);
    unloaded.host.duringWait = [&unloaded](FakeHost& h) {
        if (h.presents.size() == 3) unloaded.saver.End();  // the window unloaded under the loop
    };
    unloaded.loop.Run();
    EXPECT_EQ(unloaded.host.log, "FFF");

    LoopRun never(RunTiming::ForRefresh(60), 1000);
    never.loop.End();
    never.loop.Run();
    EXPECT_EQ(never.host.log, "") << "ended before it began";
    EXPECT_FALSE(never.saver.Running());
}

TEST(RunLoop, ANewSizeAndARepaintAreTakenBeforeTheNextFrame) {
    LoopRun run({1.0, std::numeric_limits<double>::infinity(), 1.0}, 5);
    run.host.duringWait = [](FakeHost& h) {
        if (h.presents.size() != 2) return;
        h.loop->Resize();
        h.loop->Resize();  // told twice in one wait: taken once
        h.loop->Repaint();
    };
    run.loop.Run();
    EXPECT_EQ(run.host.log, "FFRWFF");
}

TEST(RunLoop, PresentsAloneWithNothingToAnimate) {
    FakeHost host;
    RunLoop loop(host, {0.0});
    host.loop = &loop;
    host.afterPresent = [](FakeHost& h) {
        h.now += 0.25;  // presenting takes a quarter second; with no pacing the next frame follows at once
        if (h.presents.size() == 8) h.loop->End();
    };
    loop.Run();
    EXPECT_EQ(host.log, std::string(8, 'F'));
    EXPECT_DOUBLE_EQ(host.presents.back() - host.presents.front(), 7 * 0.25);
}

}  // namespace
}  // namespace quorvel
