// The saver's blit workload timed in one run: our LS8_ScaleRotate (and, for the record, the same blit held to its
// SSE2 and its portable walk), Allegro 4's pivot_scaled_sprite on 8-bit memory bitmaps clipped to the same
// rectangles (where Allegro is installed), and memset over the same destination rectangles as the floor.
// Every figure is nanoseconds per destination-rectangle pixel; the ns_per_px column of the table prints with
// the unit "s" that Google Benchmark gives inverted rates, and the summary after it has the best run of each.
// Run with --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true on a busy machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench_main.h"
#include "saver/sprite_cells.h"
#include "surface/scale_rotate.h"
#include "surface/scale_rotate_internal.h"
#include "bench_allegro.h"

namespace {

using quorvel::kSheetSize;
using quorvel::kSpriteCells;
using quorvel::SpriteCell;

// One call the saver would make: the clipped square and where the pivot lands in it.
struct Call {
    int kind;
    int left, top, width, height;
    int pivotX, pivotY;  // relative to left, top
    float angle, scale;
};

// Rounds halves to even, as the saver does.
int Nearest(double v) { return static_cast<int>(std::nearbyint(v)); }

// The body parts of one crawler of `length` parts and size `size`: kinds 3, 1, 0, ..., 0, 2 from the tail, scales
// falling by taper / length per part from the head.
std::vector<std::pair<int, float>> Body(int length, float size) {
    std::vector<std::pair<int, float>> parts;
    const float taper = 0.5f;
    for (int i = 0; i < length; ++i) {
        const int kind = i == 0 ? 3 : i == length - 1 ? 2 : (i & 1);
        parts.emplace_back(kind, size - static_cast<float>(length - 1 - i) * taper / static_cast<float>(length));
    }
    return parts;
}

// Bodies' worth of calls at random places and headings, clipped to the display as the saver clips them.
std::vector<Call> MakeCalls(int length, float size, int displayWidth, int displayHeight, int bodies, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> angle(-3.2f, 3.2f);
    std::uniform_int_distribution<int> px(0, displayWidth - 1), py(0, displayHeight - 1);
    std::vector<Call> calls;
    for (int b = 0; b < bodies; ++b) {
        for (const auto& [kind, scale] : Body(length, size)) {
            const int x = px(rng), y = py(rng);
            const int r = Nearest(kSpriteCells[kind].Reach * static_cast<double>(scale));
            int left = x - r, top = y - r, right = x + r, bottom = y + r;
            if (left >= displayWidth || top >= displayHeight || right <= 0 || bottom <= 0) continue;
            left = std::max(left, 0), top = std::max(top, 0);
            right = std::min(right, displayWidth), bottom = std::min(bottom, displayHeight);
            calls.push_back({kind, left, top, right - left, bottom - top, x - left, y - top, angle(rng), scale});
        }
    }
    return calls;
}

// A sheet in the look of the real one: each picture a solid shape on index 0, the body rings crescents.
std::vector<uint8_t> MakeSheet() {
    std::vector<uint8_t> sheet(kSheetSize * kSheetSize, 0);
    for (int k = 0; k < 4; ++k) {
        const SpriteCell& c = kSpriteCells[k];
        const double cx = c.Width / 2.0, cy = c.Height / 2.0;
        for (int y = 0; y < c.Height; ++y)
            for (int x = 0; x < c.Width; ++x) {
                const double ex = (x + 0.5 - cx) / cx, ey = (y + 0.5 - cy) / cy;
                bool on = ex * ex + ey * ey < 0.95;
                if (k < 2) {
                    const double hx = (x + 0.5 - cx * 0.55) / (cx * 0.7), hy = ey / 0.8;
                    on = on && hx * hx + hy * hy > 1.0;
                }
                if (on)
                    sheet[(c.SourceY + y) * kSheetSize + c.SourceX + x] = static_cast<uint8_t>(16 + (x * 3 + y * 5 + k * 40) % 200);
            }
    }
    return sheet;
}

struct Workload {
    const char* name;
    int length;
    float size;
    int width, height;
};
constexpr Workload kWorkloads[] = {
    {"default_body/1920x1080", 100, 0.75f, 1920, 1080},
    {"maximal_body/1920x1080", 200, 1.5f, 1920, 1080},
    {"default_body/3840x2160", 100, 0.75f, 3840, 2160},
    {"maximal_body/3840x2160", 200, 1.5f, 3840, 2160},
};
constexpr int kBodiesPerIteration = 8;

double Pixels(const std::vector<Call>& calls) {
    double n = 0;
    for (const Call& c : calls) n += static_cast<double>(c.width) * c.height;
    return n;
}

void SetCounters(benchmark::State& state, const std::vector<Call>& calls) {
    const double pixels = Pixels(calls);
    // Inverted rate of pixels scaled by 1e-9: nanoseconds per destination pixel.
    state.counters["ns_per_px"] =
        benchmark::Counter(pixels * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["px_per_call"] = pixels / static_cast<double>(calls.size());
}

// Our blit through its entry point, which picks the best walk the processor allows; or, for the record, one
// particular walk through the function behind it.
void RunQuorvel(benchmark::State& state, Workload w, bool entryPoint, quorvel::blit::Isa isa) {
    if (!quorvel::blit::Supported(isa)) {
        state.SkipWithError("this processor lacks the instruction set");
        return;
    }
    const std::vector<uint8_t> sheet = MakeSheet();
    std::vector<uint8_t> frame(static_cast<size_t>(w.width) * w.height, 0);
    const std::vector<Call> calls = MakeCalls(w.length, w.size, w.width, w.height, kBodiesPerIteration, 1);
    for (auto _ : state) {
        for (const Call& c : calls) {
            const SpriteCell& cell = kSpriteCells[c.kind];
            if (entryPoint) {
                LS8_ScaleRotate(frame.data(), static_cast<int16_t>(w.width), static_cast<int16_t>(c.left),
                                static_cast<int16_t>(c.top), static_cast<int16_t>(c.pivotX),
                                static_cast<int16_t>(c.pivotY), static_cast<int16_t>(c.width),
                                static_cast<int16_t>(c.height), sheet.data(), kSheetSize, cell.SourceX,
                                cell.SourceY, cell.PivotX, cell.PivotY, cell.Width, cell.Height, c.angle, c.scale, -1);
            } else {
                quorvel::blit::ScaleRotate({frame.data(), w.width, c.left, c.top, c.pivotX, c.pivotY, c.width,
                                            c.height, sheet.data(), kSheetSize, cell.SourceX, cell.SourceY,
                                            cell.PivotX, cell.PivotY, cell.Width, cell.Height, c.angle, c.scale, 0},
                                           quorvel::blit::Path::kEstimated, isa);
            }
        }
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, calls);
}

void BM_Quorvel(benchmark::State& state, Workload w) { RunQuorvel(state, w, true, quorvel::blit::Isa::kBest); }
void BM_QuorvelSse2(benchmark::State& state, Workload w) { RunQuorvel(state, w, false, quorvel::blit::Isa::kSse2); }
void BM_QuorvelPortable(benchmark::State& state, Workload w) {
    RunQuorvel(state, w, false, quorvel::blit::Isa::kPortable);
}

void BM_Memset(benchmark::State& state, Workload w) {
    std::vector<uint8_t> frame(static_cast<size_t>(w.width) * w.height, 0);
    const std::vector<Call> calls = MakeCalls(w.length, w.size, w.width, w.height, kBodiesPerIteration, 1);
    uint8_t value = 1;
    for (auto _ : state) {
        for (const Call& c : calls) {
            uint8_t* row = frame.data() + static_cast<size_t>(c.top) * w.width + c.left;
            for (int y = 0; y < c.height; ++y, row += w.width) std::memset(row, value, static_cast<size_t>(c.width));
        }
        ++value;
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, calls);
}

#if QUORVEL_HAVE_ALLEGRO4
void BM_Allegro(benchmark::State& state, Workload w) {
    const std::vector<uint8_t> pixels = MakeSheet();
    BITMAP* sheet = create_bitmap_ex(8, kSheetSize, kSheetSize);
    BITMAP* frame = create_bitmap_ex(8, w.width, w.height);
    if (!sheet || !frame) {
        state.SkipWithError("Allegro could not create its bitmaps");
        return;
    }
    for (int y = 0; y < kSheetSize; ++y) std::memcpy(sheet->line[y], &pixels[y * kSheetSize], kSheetSize);
    clear_to_color(frame, 0);
    BITMAP* sprites[4];
    for (int k = 0; k < 4; ++k)
        sprites[k] = create_sub_bitmap(sheet, kSpriteCells[k].SourceX, kSpriteCells[k].SourceY, kSpriteCells[k].Width,
                                       kSpriteCells[k].Height);
    const std::vector<Call> calls = MakeCalls(w.length, w.size, w.width, w.height, kBodiesPerIteration, 1);
    // Allegro turns by 256 units a full circle, toward +y like ours; angles and scales are 16.16 fixed point.
    std::vector<fixed> angles, scales;
    for (const Call& c : calls) {
        angles.push_back(ftofix(c.angle * 128.0 / M_PI));
        scales.push_back(ftofix(c.scale));
    }
    for (auto _ : state) {
        for (size_t i = 0; i < calls.size(); ++i) {
            const Call& c = calls[i];
            const SpriteCell& cell = kSpriteCells[c.kind];
            set_clip_rect(frame, c.left, c.top, c.left + c.width - 1, c.top + c.height - 1);
            pivot_scaled_sprite(frame, sprites[c.kind], c.left + c.pivotX, c.top + c.pivotY, cell.PivotX, cell.PivotY,
                                angles[i], scales[i]);
        }
        benchmark::DoNotOptimize(frame->line[0]);
        benchmark::ClobberMemory();
    }
    SetCounters(state, calls);
    for (BITMAP* s : sprites) destroy_bitmap(s);
    destroy_bitmap(frame);
    destroy_bitmap(sheet);
}
#endif

// Prints, after the usual table, each workload's figures side by side with the ratios the goal is stated in.
void PrintSummary(const quorvel::bench::Figures& figures) {
    using quorvel::bench::Figure;
    std::printf("\nBest run of each, in nanoseconds per destination-rectangle pixel (ours: the best walk this "
                "processor allows; SSE2 and portable: ours restricted to those walks):\n");
    std::printf("%-24s %8s %8s %9s %8s %8s %13s %13s %12s\n", "workload", "ours", "SSE2", "portable", "allegro",
                "memset", "allegro/ours", "allegro/SSE2", "ours/memset");
    for (const auto& [workload, r] : figures) {
        const double ours = Figure(r, "BM_Quorvel"), sse2 = Figure(r, "BM_QuorvelSse2");
        const double portable = Figure(r, "BM_QuorvelPortable"), allegro = Figure(r, "BM_Allegro");
        const double floor = Figure(r, "BM_Memset");
        std::printf("%-24s %8.3f %8.3f %9.3f %8.3f %8.3f %13.2f %13.2f %12.2f\n", workload.c_str(), ours, sse2,
                    portable, allegro, floor, allegro / ours, allegro / sse2, ours / floor);
    }
}

double NanosecondsPerPixel(const benchmark::BenchmarkReporter::Run& run) {
    const auto it = run.counters.find("ns_per_px");
    return it == run.counters.end() ? NAN : it->second.value;
}

}  // namespace

int main(int argc, char** argv) {
    using quorvel::bench::Register;
    [[maybe_unused]] const bool allegro = quorvel::bench::StartAllegro();
    // Each workload's contenders run back to back, so that they share the machine's conditions; with
    // --benchmark_repetitions the summary takes each one's best run.
    for (const Workload& w : kWorkloads) {
        Register("BM_Quorvel", w.name, BM_Quorvel, w);
        Register("BM_QuorvelSse2", w.name, BM_QuorvelSse2, w);
        Register("BM_QuorvelPortable", w.name, BM_QuorvelPortable, w);
#if QUORVEL_HAVE_ALLEGRO4
        if (allegro) Register("BM_Allegro", w.name, BM_Allegro, w);
#endif
        Register("BM_Memset", w.name, BM_Memset, w);
    }
    return quorvel::bench::RunAll(argc, argv, {NanosecondsPerPixel, PrintSummary});
}
