// One saver frame without its present: both frame buffers cleared and every part of both crawlers blitted
// into both, as the saver draws it, beside the same frame drawn with Allegro 4's pivot_scaled_sprite (where
// Allegro is installed). The crawlers are first run for a while so their whole bodies are on screen; the timed
// frame then stays the same from iteration to iteration.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench_main.h"
#include "image/assets.h"
#include "seam/portable/portable_gdi.h"
#include "saver/saver.h"
#include "bench_allegro.h"

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
        : cyan(quorvel::LoadAsset("sheet_cyan.bmp")),
          green(quorvel::LoadAsset("sheet_green.bmp")),
          ok(cyan.width > 0 && green.width > 0),
          saver(w.settings, {plat::memory::CreateWindowDC(w.width, w.height), double(w.width), double(w.height)},
                cyan, green) {
        quorvel::SeededRandom random(3);
        for (int frame = 1; frame <= w.warmUpFrames; ++frame) {
            saver.Advance();
            if (frame % 36 == 0) saver.Tick(random);
        }
    }

    quorvel::Image cyan, green;
    bool ok;
    quorvel::Saver saver;
};

void SetCounters(benchmark::State& state, const Scene& scene) {
    const auto blits = scene.saver.FrameBlits();
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
    scene.saver.SetClearing(wholeClears ? quorvel::FrameClearing::kWhole : quorvel::FrameClearing::kDrawnTiles);
    for (auto _ : state) {
        scene.saver.Draw();
        benchmark::DoNotOptimize(scene.saver.Visible().Pixels);
        benchmark::ClobberMemory();
    }
    SetCounters(state, scene);
}

#if QUORVEL_HAVE_ALLEGRO4
// One pivot_scaled_sprite call for each buffer, clipped to the rectangle the saver's blit fills.
struct AllegroCall {
    BITMAP* sprite[2];
    int left, top, right, bottom, x, y, pivotX, pivotY;
    fixed angle, scale;
};

// The saver's blits as Allegro calls on `sheets`; the sub-bitmaps they draw from go into `subs`.
std::vector<AllegroCall> AllegroCalls(const std::vector<quorvel::SegmentBlit>& blits, BITMAP* const (&sheets)[2],
                                      std::vector<BITMAP*>& subs) {
    std::vector<AllegroCall> calls;
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
    return calls;
}

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
        const quorvel::PixelView source = scene.saver.Sheet(i);
        sheets[i] = create_bitmap_ex(8, 256, 256);
        for (int y = 0; y < 256; ++y) std::memcpy(sheets[i]->line[y], source.Pixels + y * source.Pitch, 256);
        frames[i] = create_bitmap_ex(8, w->width, w->height);
    }
    std::vector<BITMAP*> subs;
    const std::vector<AllegroCall> calls = AllegroCalls(scene.saver.FrameBlits(), sheets, subs);
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
void PrintSummary(const quorvel::bench::Figures& figures) {
    using quorvel::bench::Figure;
    std::printf("\n%-30s %12s %14s %12s %14s %20s %16s\n", "frame (ms)", "quorvel", "whole clears", "allegro",
                "allegro/ours", "allegro/whole clears", "share of 60 Hz");
    for (const auto& [workload, r] : figures) {
        const double ours = Figure(r, "BM_Quorvel"), whole = Figure(r, "BM_QuorvelWholeClears");
        const double allegro = Figure(r, "BM_Allegro");
        std::printf("%-30s %12.3f %14.3f %12.3f %14.2f %20.2f %15.1f%%\n", workload.c_str(), ours, whole, allegro,
                    allegro / ours, allegro / whole, 100 * ours / (1000.0 / 60));
    }
}

double Milliseconds(const benchmark::BenchmarkReporter::Run& run) {
    return run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
}

}  // namespace

int main(int argc, char** argv) {
    using quorvel::bench::Register;
    [[maybe_unused]] const bool allegro = quorvel::bench::StartAllegro();
    for (const Workload& w : kWorkloads) {
        Register("BM_Quorvel", w.name, BM_Quorvel, &w, false)->Unit(benchmark::kMillisecond);
        Register("BM_QuorvelWholeClears", w.name, BM_Quorvel, &w, true)->Unit(benchmark::kMillisecond);
#if QUORVEL_HAVE_ALLEGRO4
        if (allegro) Register("BM_Allegro", w.name, BM_Allegro, &w)->Unit(benchmark::kMillisecond);
#endif
    }
    return quorvel::bench::RunAll(argc, argv, {Milliseconds, PrintSummary});
}
