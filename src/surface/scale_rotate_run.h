// The row loop of the scale-rotate blit, shared by its instruction-set variants. Each variant's file includes
// this after choosing its instruction set, so everything here is private to that file and compiled for it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "surface/scale_rotate_plan.h"

#if defined(__GNUC__)
#define QUORVEL_INLINE inline __attribute__((always_inline))
#define QUORVEL_PREFETCH_FOR_WRITE(address) __builtin_prefetch(address, 1)
#else
#define QUORVEL_INLINE inline
#define QUORVEL_PREFETCH_FOR_WRITE(address) ((void)(address))
#endif

namespace quorvel::blit::detail {
namespace {

int64_t CeilDiv(int64_t n, int64_t d) { return n >= 0 ? (n + d - 1) / d : -((-n) / d); }

int ClampToInt(int64_t v, int lo, int hi) { return static_cast<int>(std::clamp<int64_t>(v, lo, hi)); }

// ceil(t) without a branch, for |t| well below kCeilBias.
constexpr int kCeilBias = 1 << 22;
QUORVEL_INLINE int Ceil(double t) { return kCeilBias - static_cast<int>(kCeilBias - t); }

// Walks n samples of one row from (x, y), writing every one that is not keyed out.
template <int F, KeyMode Mode>
QUORVEL_INLINE void WalkRow(uint8_t* d, const uint8_t* cell, size_t pitch, uint32_t x, uint32_t y, uint32_t dx,
                            uint32_t dy, int n, uint8_t key) {
    auto put = [key](uint8_t* to, uint8_t v) {
        if constexpr (Mode == KeyMode::kOpaque) {
            *to = v;
        } else {
            *to = v == (Mode == KeyMode::kZero ? 0 : key) ? *to : v;
        }
    };
    for (; n >= 4; n -= 4, d += 4) {
        const uint8_t v0 = cell[(y >> F) * pitch + (x >> F)];
        x += dx, y += dy;
        const uint8_t v1 = cell[(y >> F) * pitch + (x >> F)];
        x += dx, y += dy;
        const uint8_t v2 = cell[(y >> F) * pitch + (x >> F)];
        x += dx, y += dy;
        const uint8_t v3 = cell[(y >> F) * pitch + (x >> F)];
        x += dx, y += dy;
        put(d, v0), put(d + 1, v1), put(d + 2, v2), put(d + 3, v3);
    }
    for (; n > 0; --n, ++d) {
        put(d, cell[(y >> F) * pitch + (x >> F)]);
        x += dx, y += dy;
    }
}

// The plain walker, for processors without the vector units the others need.
template <int F, KeyMode Mode>
struct PortableWalker {
    explicit PortableWalker(const Plan& p)
        : cell(p.cell), pitch(p.srcPitch), dx(static_cast<uint32_t>(p.ax.du)), dy(static_cast<uint32_t>(p.ay.du)),
          key(p.key) {}
    QUORVEL_INLINE void Walk(uint8_t* d, int first, int last, uint32_t x, uint32_t y) const {
        WalkRow<F, Mode>(d, cell, pitch, x, y, dx, dy, last - first, key);
    }
    const uint8_t* cell;
    size_t pitch;
    uint32_t dx, dy;
    uint8_t key;
};

constexpr int kBand = 64;

// The spans of one band of rows: where each starts and ends, and its first sample's position.
struct Band {
    int top;   // first row, relative to the pivot
    int rows;
    alignas(16) int firsts[kBand];
    alignas(16) int lasts[kBand];
    alignas(16) uint32_t xs[kBand];
    alignas(16) uint32_t ys[kBand];
};

// Each row's span of the band by integer division: exact, and slow.
void DivideSpans(const Plan& p, Band& b) {
    const Axis& ax = p.ax;
    const Axis& ay = p.ay;
    const int top = b.top, rows = b.rows;
    for (int i = 0; i < rows; ++i) {
        const int uy = top + i;
        int first = p.uxLo, last = p.uxHi;
        const int64_t valueX = ax.sBase + uy * ax.sDv, valueY = ay.sBase + uy * ay.sDv;
        if (ax.sDu != 0) {
            first = std::max(first, ClampToInt(CeilDiv(-valueX, ax.sDu), p.uxLo, p.uxHi));
            last = std::min(last, ClampToInt(CeilDiv(ax.limit - valueX, ax.sDu), p.uxLo, p.uxHi));
        }
        if (ay.sDu != 0) {
            first = std::max(first, ClampToInt(CeilDiv(-valueY, ay.sDu), p.uxLo, p.uxHi));
            last = std::min(last, ClampToInt(CeilDiv(ay.limit - valueY, ay.sDu), p.uxLo, p.uxHi));
        }
        b.firsts[i] = first, b.lasts[i] = last;
    }
}

// Each row's span of the band from the estimates. The first column inside is the larger of the two axes' first
// columns, the end the smaller of their ends; ceil is monotone, so each is the ceil of the larger (smaller)
// estimate. The true value lies within e of the estimate, so ceil(t - e) is right unless an integer lies within
// e above it. Estimates are clamped to a little beyond the rectangle, at half-integers so that a clamped one
// never looks close.
void EstimateSpans(const Plan& p, Band& b) {
    const Axis& ax = p.ax;
    const Axis& ay = p.ay;
    const int top = b.top, rows = b.rows;
    const double tMin = p.uxLo - 4.5, tMax = p.uxHi + 4.5, e = p.error;
    alignas(16) double lows[kBand], highs[kBand];
    for (int i = 0; i < rows; ++i) {
        const double uy = top + i;
        lows[i] = std::clamp(std::max(ax.lowT0 + uy * ax.slope, ay.lowT0 + uy * ay.slope), tMin, tMax);
        highs[i] = std::clamp(std::min(ax.highT0 + uy * ax.slope, ay.highT0 + uy * ay.slope), tMin, tMax);
    }
    int unsure = 0;
    for (int i = 0; i < rows; ++i) {
        const int first = Ceil(lows[i] - e), last = Ceil(highs[i] - e);
        b.firsts[i] = first, b.lasts[i] = last;
        unsure |= (first < lows[i] + e) | (last < highs[i] + e);
    }
    if (unsure) {
        // Rare: settle each close call with one exact test at the integer in question.
        for (int i = 0; i < rows; ++i) {
            const int64_t uy = top + i;
            const int64_t valueX = ax.sBase + uy * ax.sDv, valueY = ay.sBase + uy * ay.sDv;
            const int64_t first = b.firsts[i], last = b.lasts[i];
            const bool firstInside = valueX + first * ax.sDu >= 0 && valueY + first * ay.sDu >= 0;
            const bool lastPast = valueX + last * ax.sDu >= ax.limit || valueY + last * ay.sDu >= ay.limit;
            if (first < lows[i] + e && !firstInside) ++b.firsts[i];
            if (last < highs[i] + e && !lastPast) ++b.lasts[i];
        }
    }
    for (int i = 0; i < rows; ++i) {
        b.firsts[i] = std::max(b.firsts[i], p.uxLo);
        b.lasts[i] = std::min(b.lasts[i], p.uxHi);
    }
}

// Finds the spans of the rows [top, top + rows), each span's first sample, and asks for their destination bytes.
template <bool Divide>
void PlanBand(const Plan& p, int top, int rows, int prefetchLines, Band& b) {
    b.top = top;
    b.rows = rows;
    if constexpr (Divide) {
        DivideSpans(p, b);
    } else {
        EstimateSpans(p, b);
    }
    // Each span's first sample, from the band's first row by whole-row steps: exact, as unsigned arithmetic wraps
    // consistently and every position used lies in the cell.
    const uint32_t dux = static_cast<uint32_t>(p.ax.du), duy = static_cast<uint32_t>(p.ay.du);
    const uint32_t dvx = static_cast<uint32_t>(p.ax.dv), dvy = static_cast<uint32_t>(p.ay.dv);
    const uint32_t topX = static_cast<uint32_t>(p.ax.base + top * p.ax.dv);
    const uint32_t topY = static_cast<uint32_t>(p.ay.base + top * p.ay.dv);
    for (int i = 0; i < rows; ++i) {
        b.xs[i] = topX + static_cast<uint32_t>(i) * dvx + static_cast<uint32_t>(b.firsts[i]) * dux;
        b.ys[i] = topY + static_cast<uint32_t>(i) * dvy + static_cast<uint32_t>(b.firsts[i]) * duy;
    }
    // The walk comes to these bytes a while later; asking now hides most of a cache miss.
    const uint8_t* row = p.destCorner + static_cast<ptrdiff_t>(top - p.cornerUy) * p.destPitch;
    for (int i = 0; i < rows; ++i, row += p.destPitch) {
        const int first = b.firsts[i] - p.cornerUx, end = std::max(first, b.lasts[i] - 1 - p.cornerUx);
        for (int k = 0; k < prefetchLines; ++k) QUORVEL_PREFETCH_FOR_WRITE(row + std::min(first + 64 * k, end));
        QUORVEL_PREFETCH_FOR_WRITE(row + end);
    }
}

// Draws the plan band by band: the spans of the next band are found, and its bytes asked for, before the
// current band is walked. Keeping span finding apart from walking lets the span arithmetic run many rows at a
// time, and gives the memory a band's walk to bring the next band's bytes in.
template <class Walker, bool Divide>
void RunBands(const Plan& p, const Walker& walker) {
    // Destination lines to ask for per row: enough for the longest span a row can have, which is the
    // rectangle's width or the cell's width along a row, whichever is less (up to four lines).
    int64_t longest = p.uxHi - p.uxLo;
    if (p.ax.sDu != 0) longest = std::min(longest, p.ax.limit / p.ax.sDu + 1);
    if (p.ay.sDu != 0) longest = std::min(longest, p.ay.limit / p.ay.sDu + 1);
    const int prefetchLines = static_cast<int>(std::min<int64_t>(4, (longest + 63) / 64));
    Band bands[2];
    Band* current = &bands[0];
    Band* next = &bands[1];
    PlanBand<Divide>(p, p.uyLo, std::min(kBand, p.uyHi - p.uyLo), prefetchLines, *current);
    while (true) {
        const int after = current->top + current->rows;
        if (after < p.uyHi) PlanBand<Divide>(p, after, std::min(kBand, p.uyHi - after), prefetchLines, *next);
        uint8_t* row = p.destCorner + static_cast<ptrdiff_t>(current->top - p.cornerUy) * p.destPitch;
        for (int i = 0; i < current->rows; ++i, row += p.destPitch) {
            const int first = current->firsts[i], last = current->lasts[i];
            if (first < last) walker.Walk(row + (first - p.cornerUx), first, last, current->xs[i], current->ys[i]);
        }
        if (after >= p.uyHi) break;
        std::swap(current, next);
    }
}

template <template <int, KeyMode> class Walker, int F, KeyMode Mode>
void RunWith(const Plan& p) {
    const Walker<F, Mode> walker(p);
    p.divideSpans ? RunBands<Walker<F, Mode>, true>(p, walker) : RunBands<Walker<F, Mode>, false>(p, walker);
}

template <template <int, KeyMode> class Walker, int F>
void RunWithFraction(const Plan& p) {
    switch (p.keyMode) {
        case KeyMode::kOpaque: return RunWith<Walker, F, KeyMode::kOpaque>(p);
        case KeyMode::kZero: return RunWith<Walker, F, KeyMode::kZero>(p);
        case KeyMode::kIndex: return RunWith<Walker, F, KeyMode::kIndex>(p);
    }
}

// Runs the plan with the given walker, chosen for the plan's fraction bits and key.
template <template <int, KeyMode> class Walker>
void RunPlan(const Plan& p) {
    p.fraction == 24 ? RunWithFraction<Walker, 24>(p) : RunWithFraction<Walker, 17>(p);
}

}  // namespace
}  // namespace quorvel::blit::detail
