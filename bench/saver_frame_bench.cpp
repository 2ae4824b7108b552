// One saver frame without its present: both frame buffers cleared and every part of both crawlers blitted
// into both, as SaverCore::DrawFrame does it, beside the same frame drawn with Allegro 4's pivot_scaled_sprite
// (where Allegro is installed). The crawlers are first run for a while so their whole bodies are on screen; the
// timed frame then stays the same from iteration to iteration.
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench_assets.h"
#include "seam/portable/portable_gdi.h"
#include "saver/saver.h"

#if QUORVEL_HAVE_ALLEGRO4
// Allegro's headers bring a magic main and short macro names; they stay in this one file, included last.
#define ALLEGRO_NO_MAGIC_MAIN
#define ALLEGRO_NO_FIX_ALIASES
#include <allegro.h>
#endif

namespace {

struct Workload {
    const char* name;
    int width, height;
    quorvel::Settings settings;
    int warmUpFrames;
};

const Workload kWorkloads[] = {
    {"1920x1080_defaults", 1920, 1080, {75, 100, 100, 50}, 2400},
    {"3840x2160_size150_length200", 3840, 2160, {150, 200, 100, 50}, 7000},
};

// A saver on the in-memory platform, run forward until its crawlers are well in view.
struct Scene {
    explicit Scene(const Workload& w)
        : cyan(quorvel::bench::Asset("sheet_cyan.bmp")),
          green(quorvel::bench::Asset("sheet_green.bmp")),
          ok(cyan.width > 0 && green.width > 0),
          saver(w.settings, {plat::memory::CreateWindowDC(w.width, w.height), double(w.width), double(w.height)},
                cyan, green),
          core(saver.Core()) {
        quorvel::SeededRandom random(3);
        for (int frame = 1; frame <= w.warmUpFrames; ++frame) {
            core.AdvanceCrawlers();
            if (frame % 36 == 0) saver.Tick(random);
        }
    }

    // The blits DrawFrame makes, in its order: part by part from the tail, crawler 1 before crawler 2.
    std::vector<quorvel::SegmentBlit> Blits() const {
        std::vector<quorvel::SegmentBlit> blits;
        quorvel::BodyWalk walks[2] = {{core.Crawlers[0], core.TrailLength()}, {core.Crawlers[1], core.TrailLength()}};
        for (int i = 0; i < core.SegmentCount; ++i) {
            for (int c = 0; c < 2; ++c) {
                const quorvel::TrailPoint& point = core.Crawlers[c].Trail[walks[c].Entry()];
                // The same source boxes the saver draws from, so both sides walk the same samples.
                const auto blit = core.PlanDrawnSegment(static_cast<int16_t>(std::nearbyint(point.X)),
                                                        static_cast<int16_t>(std::nearbyint(point.Y)), point.Heading,
                                                        core.Segments[i].Kind, core.Segments[i].Scale);
                if (blit && blit->SrcWidth > 0) blits.push_back(*blit);
                walks[c].StepBack(core.Segments[i].Scale);
            }
        }
        return blits;
    }

    quorvel::Image cyan, green;
    bool ok;
    quorvel::Saver saver;
    quorvel::SaverCore& core;
};

void SetCounters(benchmark::State& state, const Scene& scene) {
    const auto blits = scene.Blits();
    double pixels = 0;
    for (const auto& b : blits) pixels += double(b.DestWidth) * b.DestHeight;
    state.counters["parts_on_screen"] = double(blits.size());
    state.counters["blit_px_per_buffer"] = pixels;
}

// wholeClears: zero both buffers entirely each frame, as the Allegro frame below does, instead of only the
// tiles the last frame drew on.
void BM_Quorvel(benchmark::State& state, const Workload* w, bool wholeClears) {
    Scene scene(*w);
    if (!scene.ok) {
        state.SkipWithError("cannot read the sprite sheets");
        return;
    }
    scene.core.ClearWholeFrames = wholeClears;
    for (auto _ : state) {
        scene.core.DrawFrame();
        benchmark::DoNotOptimize(scene.core.Surfaces[3]->GetPointer());
        benchmark::ClobberMemory();
    }
    SetCounters(state, scene);
}

#if QUORVEL_HAVE_ALLEGRO4
void BM_Allegro(benchmark::State& state, const Workload* w) {
    Scene scene(*w);
    if (!scene.ok) {
        state.SkipWithError("cannot read the sprite sheets");
        return;
    }
    // The sheets as the saver grabbed them, and two frames of the display's size.
    BITMAP* sheets[2];
    BITMAP* frames[2];
    for (int i = 0; i < 2; ++i) {
        const quorvel::Tavrin_C& source = *scene.core.Surfaces[static_cast<size_t>(i * 2)];
        sheets[i] = create_bitmap_ex(8, 256, 256);
        for (int y = 0; y < 256; ++y) std::memcpy(sheets[i]->line[y], source.GetPointer() + y * source.GetPitch(), 256);
        frames[i] = create_bitmap_ex(8, w->width, w->height);
    }
    const auto blits = scene.Blits();
    struct AllegroCall {
        BITMAP* sprite[2];
        int left, top, right, bottom, x, y, pivotX, pivotY;
        fixed angle, scale;
    };
    std::vector<AllegroCall> calls;
    std::vector<BITMAP*> subs;
    for (const auto& b : blits) {
        AllegroCall c{};
        for (int i = 0; i < 2; ++i) {
            c.sprite[i] = create_sub_bitmap(sheets[i], b.SrcLeft, b.SrcTop, b.SrcWidth, b.SrcHeight);
            subs.push_back(c.sprite[i]);
        }
        c.left = b.DestLeft;
        c.top = b.DestTop;
        c.right = b.DestLeft + b.DestWidth - 1;
        c.bottom = b.DestTop + b.DestHeight - 1;
        c.x = b.DestLeft + b.DestPivotX;
        c.y = b.DestTop + b.DestPivotY;
        c.pivotX = b.SrcPivotX;
        c.pivotY = b.SrcPivotY;
        // Allegro turns by 256 units a full circle, toward +y like the saver; angle and scale are 16.16.
        c.angle = ftofix(b.Angle * 128.0 / M_PI);
        c.scale = ftofix(b.Zoom);
        calls.push_back(c);
    }
    for (auto _ : state) {
        clear_to_color(frames[0], 0);
        clear_to_color(frames[1], 0);
        for (const AllegroCall& c : calls) {
            for (int i = 0; i < 2; ++i) {
                set_clip_rect(frames[i], c.left, c.top, c.right, c.bottom);
                pivot_scaled_sprite(frames[i], c.sprite[i], c.x, c.y, c.pivotX, c.pivotY, c.angle, c.scale);
            }
        }
        benchmark::DoNotOptimize(frames[1]->line[0]);
        benchmark::ClobberMemory();
    }
    SetCounters(state, scene);
    for (BITMAP* s : subs) destroy_bitmap(s);
    for (int i = 0; i < 2; ++i) {
        destroy_bitmap(frames[i]);
        destroy_bitmap(sheets[i]);
    }
}
#endif

// After the usual table, each workload's time per frame side by side with the ratio to Allegro.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // The best single run where runs are reported (other load on the machine only ever adds time), else
        // the median of the repetitions.
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration;
            if (!single && run.aggregate_name != "median") continue;
            const std::string name = run.run_name.function_name;
            const size_t slash = name.find('/');
            if (slash == std::string::npos) continue;
            const double ms = run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            double& best = (single ? results_ : medians_)[name.substr(slash + 1)][name.substr(0, slash)];
            best = best == 0 ? ms : std::min(best, ms);
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-30s %12s %14s %12s %14s %20s %16s\n", "frame (ms)", "quorvel", "whole clears",
                    "allegro", "allegro/ours", "allegro/whole clears", "share of 60 Hz");
        for (const auto& [workload, r] : results_.empty() ? medians_ : results_) {
            auto get = [&](const char* key) {
                const auto it = r.find(key);
                return it == r.end() ? NAN : it->second;
            };
            const double ours = get("BM_Quorvel"), whole = get("BM_QuorvelWholeClears"), allegro = get("BM_Allegro");
            std::printf("%-30s %12.3f %14.3f %12.3f %14.2f %20.2f %15.1f%%\n", workload.c_str(), ours, whole, allegro,
                        allegro / ours, allegro / whole, 100 * ours / (1000.0 / 60));
        }
    }

private:
    std::map<std::string, std::map<std::string, double>> results_;
    std::map<std::string, std::map<std::string, double>> medians_;
};

}  // namespace

int main(int argc, char** argv) {
#if QUORVEL_HAVE_ALLEGRO4
    const bool allegro = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
    if (allegro)
        set_color_depth(8);
    else
        std::fprintf(stderr, "Allegro did not start; its figures are left out\n");
#endif
    for (const Workload& w : kWorkloads) {
        benchmark::RegisterBenchmark((std::string("BM_Quorvel/") + w.name).c_str(), BM_Quorvel, &w, false)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("BM_QuorvelWholeClears/") + w.name).c_str(), BM_Quorvel, &w, true)
            ->Unit(benchmark::kMillisecond);
#if QUORVEL_HAVE_ALLEGRO4
        if (allegro)
            benchmark::RegisterBenchmark((std::string("BM_Allegro/") + w.name).c_str(), BM_Allegro, &w)
                ->Unit(benchmark::kMillisecond);
#endif
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
