// What presenting only the changed area saves, counted on the in-memory platform: the pixels a frame copies
// against two whole buffers, over a long run with the timer ticking, and the time finding that area takes
// beside the time drawing the frame takes, both measured here on the same frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "bench_main.h"
#include "image/assets.h"
#include "seam/portable/test_hooks.h"
#include "saver/saver.h"

namespace {

struct Workload {
    const char* name;
    int width, height;
    quorvel::Settings settings;
};

const Workload kWorkloads[] = {
    {"1024x768_defaults", 1024, 768, {75, 100, 100, 50}},
    {"1024x768_size150_length200", 1024, 768, {150, 200, 100, 50}},
    {"1920x1080_defaults", 1920, 1080, {75, 100, 100, 50}},
    {"1920x1080_size150_length200", 1920, 1080, {150, 200, 100, 50}},
    {"3840x2160_defaults", 3840, 2160, {75, 100, 100, 50}},
    {"3840x2160_size150_length200", 3840, 2160, {150, 200, 100, 50}},
};
constexpr int kRunFrames = 3000;

// A saver run for kRunFrames frames, each presented; afterwards the share of two whole buffers it copied.
struct PresentedRun {
    explicit PresentedRun(const Workload& w)
        : display{plat::memory::CreateWindowDC(w.width, w.height), double(w.width), double(w.height)},
          saver(w.settings, display, quorvel::LoadAsset("sheet_cyan.bmp"), quorvel::LoadAsset("sheet_green.bmp")) {
        quorvel::SeededRandom random(3);
        for (int frame = 1; frame <= kRunFrames; ++frame) {
            saver.Frame();
            saver.Present();
            if (frame % 36 == 0) saver.Tick(random);
        }
        share = double(plat::memory::BlittedPixels(display.dc)) / kRunFrames / (2.0 * w.width * w.height);
    }
    quorvel::PictureBox display;
    quorvel::Saver saver;
    double share = 0;
};

// One run a workload, shared by its two benchmarks: the run is what takes long.
PresentedRun& RunFor(const Workload& w) {
    static std::map<std::string, std::unique_ptr<PresentedRun>> runs;
    auto& run = runs[w.name];
    if (!run) run = std::make_unique<PresentedRun>(w);
    return *run;
}

std::map<std::string, double> shares;

void BM_DrawFrame(benchmark::State& state, const Workload* w) {
    PresentedRun& run = RunFor(*w);
    for (auto _ : state) {
        run.saver.Draw();
        benchmark::ClobberMemory();
    }
    state.counters["presented_share"] = run.share;
    shares[w->name] = run.share;
}

void BM_FindChangedArea(benchmark::State& state, const Workload* w) {
    PresentedRun& run = RunFor(*w);
    run.saver.Draw();
    size_t rects = 0;
    for (auto _ : state) {
        const auto changed = run.saver.FindChanges();
        benchmark::DoNotOptimize(changed.data());
        rects = changed.size();
    }
    state.counters["rects"] = double(rects);
}

using quorvel::bench::Figure;

void PrintSummary(const quorvel::bench::Figures& figures) {
    std::printf("\n%-30s %26s %28s\n", "workload", "presented / two whole", "finding area / drawing");
    for (const auto& [workload, t] : figures) {
        const double draw = Figure(t, "BM_DrawFrame"), find = Figure(t, "BM_FindChangedArea");
        if (std::isnan(draw) || std::isnan(find)) continue;
        std::printf("%-30s %26.3f %28.3f\n", workload.c_str(), shares[workload], find / draw);
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (const Workload& w : kWorkloads) {
        quorvel::bench::Register("BM_DrawFrame", w.name, BM_DrawFrame, &w)->Unit(benchmark::kMicrosecond);
        quorvel::bench::Register("BM_FindChangedArea", w.name, BM_FindChangedArea, &w)->Unit(benchmark::kMicrosecond);
    }
    const auto cpuTime = [](const benchmark::BenchmarkReporter::Run& run) { return run.GetAdjustedCPUTime(); };
    return quorvel::bench::RunAll(argc, argv, {cpuTime, PrintSummary});
}
