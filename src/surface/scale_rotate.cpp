// Scale-and-rotate blits between 8-bit surfaces, and the heading function the saver steers with.
//
// The mapping. Destination pixel (x, y) is sampled at its centre. With u = (x, y) minus the destination pivot
// pixel, the sample's position in the source is the centre of the source pivot pixel plus R(-angle) u / zoom,
// and the pixel read is the one whose square [k, k+1) x [j, j+1) holds that position. Pixel squares are
// half-open, so a sample exactly on the edge between two pixels takes the one to its right (or below); a
// sample on the cell's left or top edge is inside, one on its right or bottom edge is outside.
//
// Positions are fixed-point numbers with F fractional bits; the coefficients of the map are rounded once
// per call and everything after that is exact integer arithmetic. So the span found for a row is exactly the
// set of its pixels whose sample lies in the cell, the walk along it meets exactly those samples, and no sample
// outside the cell is ever read.
//
// This file plans a call (clipping, the fixed-point map, the span estimates). The row loop in
// scale_rotate_run.h draws the plan with a walker for the processor's instruction set: the portable one here,
// SSE2 and AVX2 in files of their own, chosen once at run time.
#include "surface/scale_rotate.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "surface/scale_rotate_internal.h"
#include "surface/scale_rotate_plan.h"
#include "surface/scale_rotate_run.h"

namespace quorvel::blit {
namespace detail {

void RunPortable(const Plan& plan) { RunPlan<PortableWalker>(plan); }

bool HaveSse2() {
#if defined(__SSE2__)
    return true;
#elif defined(__GNUC__) && defined(__i386__)
    return __builtin_cpu_supports("sse2");
#else
    return false;
#endif
}

bool HaveAvx2() {
#if QUORVEL_BLIT_X86
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

#if !QUORVEL_BLIT_X86
// This build has no vector walkers; the processor checks say so, and these are never chosen.
void RunSse2(const Plan& plan) { RunPortable(plan); }
void RunAvx2(const Plan& plan) { RunPortable(plan); }
#endif

}  // namespace detail

namespace {

using detail::Axis;
using detail::KeyMode;
using detail::Plan;

constexpr double kFar = 1e30;

void Normalize(Axis& a, int maxAbsUy, double& error) {
    if (a.du < 0) {
        // 0 <= v < limit  <=>  0 <= (limit - 1 - v) < limit, which turns with ux the other way.
        a.sBase = a.limit - 1 - a.base;
        a.sDu = -a.du;
        a.sDv = -a.dv;
    } else {
        a.sBase = a.base;
        a.sDu = a.du;
        a.sDv = a.dv;
    }
    if (a.sDu == 0) {
        a.lowT0 = -kFar, a.highT0 = kFar, a.slope = 0;
        return;
    }
    const double du = static_cast<double>(a.sDu);
    a.lowT0 = -static_cast<double>(a.sBase) / du;
    a.highT0 = static_cast<double>(a.limit - a.sBase) / du;
    a.slope = -static_cast<double>(a.sDv) / du;
    // Each of the three quotients and the multiply-add carries at most a few ulps.
    error = std::max(error, (std::max(std::fabs(a.lowT0), std::fabs(a.highT0)) + std::fabs(a.slope) * maxAbsUy + 1.0) *
                                0x1p-48);
}

// The integers t with 0 <= base + t * coef < limit, as [first, last), clamped to [lo, hi].
struct Range {
    int first;
    int last;
};

Range RangeOf(int64_t base, int64_t coef, int64_t limit, int lo, int hi) {
    using detail::CeilDiv;
    using detail::ClampToInt;
    if (coef < 0) {
        base = limit - 1 - base;
        coef = -coef;
    }
    if (coef == 0) return base >= 0 && base < limit ? Range{lo, hi} : Range{hi, hi};
    return {ClampToInt(CeilDiv(-base, coef), lo, hi), ClampToInt(CeilDiv(limit - base, coef), lo, hi)};
}

// Nearest integer, for values far inside the 64-bit range.
int64_t RoundToInt64(double v) { return static_cast<int64_t>(v < 0 ? v - 0.5 : v + 0.5); }

using Runner = void (*)(const Plan&);

Runner Best() {
    static const Runner best = detail::HaveAvx2()   ? detail::RunAvx2
                               : detail::HaveSse2() ? detail::RunSse2
                                                    : detail::RunPortable;
    return best;
}

Runner For(Isa isa) {
    switch (isa) {
        case Isa::kPortable: return detail::RunPortable;
        case Isa::kSse2: return detail::HaveSse2() ? detail::RunSse2 : nullptr;
        case Isa::kAvx2: return detail::HaveAvx2() ? detail::RunAvx2 : nullptr;
        case Isa::kBest: break;
    }
    return Best();
}

// The request kept on both surfaces: what of the destination rectangle and of the cell lies on them, and the
// pivots in their terms.
struct Clipped {
    int x0, y0, x1, y1;       // the destination rectangle on its surface: columns [x0, x1), rows [y0, y1)
    const uint8_t* cell;      // the cell's first pixel on the source surface
    int cellW, cellH;
    int pdx, pdy;             // the destination pivot pixel
    int pivotX, pivotY;       // the source pivot pixel, relative to the cell's first pixel
    double rmax;              // every point of the cell lies within rmax of the pivot pixel's centre
};

// False when the request draws nothing: unusable arguments, or a rectangle or cell with nothing on its surface.
bool Clip(const Request& r, Clipped& c) {
    if (!r.destBits || !r.srcBits || r.destPitch <= 0 || r.srcPitch <= 0) return false;
    if (!std::isfinite(r.angle) || !std::isfinite(r.zoom) || !(r.zoom > 0)) return false;

    // The destination rectangle, kept on the surface: columns within the row length, rows from 0.
    const int x0 = std::max(r.destLeft, 0);
    const int y0 = std::max(r.destTop, 0);
    const int x1 = std::min(r.destLeft + r.destWidth, r.destPitch);
    const int y1 = r.destTop + r.destHeight;
    // The cell, likewise kept on the source surface.
    const int cl = std::max(r.srcLeft, 0);
    const int ct = std::max(r.srcTop, 0);
    const int cr = std::min(r.srcLeft + r.srcWidth, r.srcPitch);
    const int cb = r.srcTop + r.srcHeight;
    if (x0 >= x1 || y0 >= y1 || cl >= cr || ct >= cb) return false;

    c.x0 = x0, c.y0 = y0, c.x1 = x1, c.y1 = y1;
    c.cell = r.srcBits + static_cast<size_t>(ct) * r.srcPitch + cl;
    c.cellW = cr - cl, c.cellH = cb - ct;
    c.pdx = r.destLeft + r.destPivotX, c.pdy = r.destTop + r.destPivotY;
    c.pivotX = r.srcLeft + r.srcPivotX - cl, c.pivotY = r.srcTop + r.srcPivotY - ct;
    const double fx = c.pivotX + 0.5, fy = c.pivotY + 0.5;
    const double farX = std::max(std::fabs(fx), std::fabs(c.cellW - fx));
    const double farY = std::max(std::fabs(fy), std::fabs(c.cellH - fy));
    c.rmax = std::sqrt(farX * farX + farY * farY);
    return true;
}

// A picture shrunk below half a pixel around its pivot: only the pivot pixel's own sample can fall inside the
// cell, and that one is exact.
void DrawPivotOnly(const Request& r, const Clipped& c) {
    if (c.pdx >= c.x0 && c.pdx < c.x1 && c.pdy >= c.y0 && c.pdy < c.y1 && c.pivotX >= 0 && c.pivotX < c.cellW &&
        c.pivotY >= 0 && c.pivotY < c.cellH) {
        const uint8_t v = c.cell[static_cast<size_t>(c.pivotY) * r.srcPitch + c.pivotX];
        if (v != r.key) r.destBits[static_cast<size_t>(c.pdy) * r.destPitch + c.pdx] = v;
    }
}

// Rows and columns beyond the turned cell's reach hold nothing; skipping them is only a saving, the spans are
// exact. The margin covers the coefficients' rounding, which the zoom magnifies. False when nothing is left.
bool TrimToReach(Plan& p, double zoom, double rmax) {
    const double margin = 2.0 + zoom * (p.fraction == 24 ? 0x1p-6 : 0x1p1);
    const double reach = zoom * rmax + margin;
    if (reach < static_cast<double>(-p.uyLo)) p.uyLo = -static_cast<int>(reach);
    if (reach < static_cast<double>(p.uyHi)) p.uyHi = static_cast<int>(reach) + 1;
    if (reach < static_cast<double>(-p.uxLo)) p.uxLo = -static_cast<int>(reach);
    if (reach < static_cast<double>(p.uxHi)) p.uxHi = static_cast<int>(reach) + 1;
    return p.uxLo < p.uxHi && p.uyLo < p.uyHi;
}

// The fixed-point map from (ux, uy) to the source position, its coefficients rounded once, and the span
// estimates with their error bound.
void SetMap(Plan& p, const Clipped& clip, double angle, double zoom) {
    const int fraction = p.fraction;
    const double unit = fraction == 24 ? 0x1p24 : 0x1p17;
    const double c = std::cos(angle) / zoom * unit, s = std::sin(angle) / zoom * unit;
    const int64_t half = int64_t{1} << (fraction - 1);
    p.ax.base = (static_cast<int64_t>(clip.pivotX) << fraction) + half;
    p.ax.du = RoundToInt64(c);
    p.ax.dv = RoundToInt64(s);
    p.ax.limit = static_cast<int64_t>(clip.cellW) << fraction;
    p.ay.base = (static_cast<int64_t>(clip.pivotY) << fraction) + half;
    p.ay.du = -RoundToInt64(s);
    p.ay.dv = RoundToInt64(c);
    p.ay.limit = static_cast<int64_t>(clip.cellH) << fraction;
    const int maxAbsUy = std::max(std::abs(p.uyLo), std::abs(p.uyHi));
    p.error = 0;
    Normalize(p.ax, maxAbsUy, p.error);
    Normalize(p.ay, maxAbsUy, p.error);
}

// Plans the call for the row loop. False when no row can draw anything.
bool MakePlan(const Request& r, const Clipped& clip, Path path, Plan& p) {
    // Fraction bits: as many as let every in-cell position fit an unsigned 32-bit value. The zoom is at least
    // 1 / (2 rmax) here, past the pivot-only case, which keeps every product below 2^62.
    p.fraction = std::max(clip.cellW, clip.cellH) <= 256 ? 24 : 17;
    p.destPitch = r.destPitch;
    p.destCorner = r.destBits + static_cast<ptrdiff_t>(clip.y0) * r.destPitch + clip.x0;
    p.cornerUx = clip.x0 - clip.pdx;
    p.cornerUy = clip.y0 - clip.pdy;
    p.cell = clip.cell;
    p.srcPitch = static_cast<size_t>(r.srcPitch);
    p.uxLo = clip.x0 - clip.pdx;
    p.uxHi = clip.x1 - clip.pdx;
    p.uyLo = clip.y0 - clip.pdy;
    p.uyHi = clip.y1 - clip.pdy;
    p.keyMode = r.key < 0 ? KeyMode::kOpaque : r.key == 0 ? KeyMode::kZero : KeyMode::kIndex;
    p.key = static_cast<uint8_t>(r.key < 0 ? 0 : r.key);
    if (!TrimToReach(p, r.zoom, clip.rmax)) return false;

    SetMap(p, clip, r.angle, r.zoom);
    // The estimates serve while they are good to well under a column; beyond that every row divides.
    p.divideSpans = path == Path::kDivided || p.error > 0.125;
    // An axis that does not change along a row decides whole rows, once.
    for (const Axis* a : {&p.ax, &p.ay}) {
        if (a->sDu != 0) continue;
        const Range rows = RangeOf(a->sBase, a->sDv, a->limit, p.uyLo, p.uyHi);
        p.uyLo = rows.first;
        p.uyHi = std::min(p.uyHi, rows.last);
    }
    return p.uyLo < p.uyHi;
}

}  // namespace

bool Supported(Isa isa) { return For(isa) != nullptr; }

void ScaleRotate(const Request& r, Path path, Isa isa) {
    const Runner run = For(isa);
    if (!run) return;
    Clipped clip;
    if (!Clip(r, clip)) return;
    // A picture below half a pixel around its pivot draws at most the pivot pixel.
    if (double{r.zoom} * clip.rmax < 0.5) return DrawPivotOnly(r, clip);
    Plan plan{};
    if (MakePlan(r, clip, path, plan)) run(plan);
}

}  // namespace quorvel::blit

extern "C" {

void LS8_ScaleRotate(uint8_t* destBits, int16_t destPitch, int16_t destLeft, int16_t destTop, int16_t destPivotX,
                     int16_t destPivotY, int16_t destWidth, int16_t destHeight, const uint8_t* srcBits,
                     int16_t srcPitch, int16_t srcLeft, int16_t srcTop, int16_t srcPivotX, int16_t srcPivotY,
                     int16_t srcWidth, int16_t srcHeight, float angle, float zoom, int16_t key) {
    // A negative key means index 0; a key above 255 matches no pixel, so every sample is drawn.
    const int k = key < 0 ? 0 : key > 255 ? -1 : key;
    quorvel::blit::ScaleRotate({destBits, destPitch, destLeft, destTop, destPivotX, destPivotY, destWidth,
                                destHeight, srcBits, srcPitch, srcLeft, srcTop, srcPivotX, srcPivotY, srcWidth,
                                srcHeight, angle, zoom, k});
}

void LS8_ScaleRotateMask(uint8_t* destBits, int16_t destPitch, int16_t destLeft, int16_t destTop,
                         int16_t destPivotX, int16_t destPivotY, int16_t destWidth, int16_t destHeight,
                         const uint8_t* srcBits, int16_t srcPitch, int16_t srcLeft, int16_t srcTop,
                         int16_t srcPivotX, int16_t srcPivotY, int16_t srcWidth, int16_t srcHeight, float angle,
                         float zoom, uint8_t key) {
    quorvel::blit::ScaleRotate({destBits, destPitch, destLeft, destTop, destPivotX, destPivotY, destWidth,
                                destHeight, srcBits, srcPitch, srcLeft, srcTop, srcPivotX, srcPivotY, srcWidth,
                                srcHeight, angle, zoom, key});
}

float LS8_ArcTan(float dy, float dx) {
    // atan2 already gives 0 for (0, 0); NaN arguments give 0 too, so a heading is always a number.
    const float a = std::atan2(dy, dx);
    return std::isnan(a) ? 0.0f : a;
}

}  // extern "C"
