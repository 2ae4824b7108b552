// Scale-and-rotate blits between 8-bit surfaces, and the heading function the saver steers with.
//
// The mapping. Destination pixel (x, y) is sampled at its centre. With u = (x, y) minus the destination pivot
// pixel, the sample's position in the source is the centre of the source pivot pixel plus R(-angle) u / zoom,
// and the pixel read is the one whose square [k, k+1) x [j, j+1) holds that position. Pixel squares are
// half-open, so a sample exactly on the edge between two pixels takes the one to its right (or below); a
// sample on the cell's left or top edge is inside, one on its right or bottom edge is outside. Positions are
// fixed-point numbers with F fractional bits, the three coefficients rounded once per call; everything after
// that is exact integer arithmetic, so the span found for a row is exactly the set of pixels whose sample lies
// in the cell, and no sample outside it is ever read.
#include "surface/scale_rotate.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "surface/scale_rotate_internal.h"

namespace quorvel::blit {
namespace {

// One source axis of the sample position: value(ux, uy) = base + ux * du + uy * dv, in units of 2^-F source
// pixels, relative to the cell's first column or row; the sample is inside along this axis when
// 0 <= value < limit.
struct Axis {
    int64_t base = 0;
    int64_t du = 0;
    int64_t dv = 0;
    int64_t limit = 0;

    // The same condition written with a non-negative ux coefficient, for finding spans.
    int64_t sBase = 0;
    int64_t sDu = 0;
    int64_t sDv = 0;
    // Estimates of the span ends: the first ux inside is ceil(lowT0 + uy * slope), the first one past the end is
    // ceil(highT0 + uy * slope).
    double lowT0 = 0;
    double highT0 = 0;
    double slope = 0;
    double error = 0;  // bound on the estimates' rounding error
};

void Normalize(Axis& a, int maxAbsUy) {
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
    if (a.sDu == 0) return;
    const double du = static_cast<double>(a.sDu);
    a.lowT0 = -static_cast<double>(a.sBase) / du;
    a.highT0 = static_cast<double>(a.limit - a.sBase) / du;
    a.slope = -static_cast<double>(a.sDv) / du;
    // Each of the three quotients and the multiply-add carries at most a few ulps.
    a.error = (std::max(std::fabs(a.lowT0), std::fabs(a.highT0)) + std::fabs(a.slope) * maxAbsUy + 1.0) * 0x1p-48;
}

// Smallest integer ux >= ... with row + ux * du >= threshold, for du > 0 (exact).
int64_t CeilDiv(int64_t n, int64_t d) { return n >= 0 ? (n + d - 1) / d : -((-n) / d); }

int ClampToInt(int64_t v, int lo, int hi) { return static_cast<int>(std::clamp<int64_t>(v, lo, hi)); }

int CeilToInt(double t) {
    int k = static_cast<int>(t);
    return k < t ? k + 1 : k;
}

// The columns [first, last) of one row whose sample is inside the cell along one axis, within [rlo, rhi].
struct Span {
    int first;
    int last;
};

template <bool Exact>
Span AxisSpan(const Axis& a, int uy, int rlo, int rhi) {
    const int64_t row = a.sBase + static_cast<int64_t>(uy) * a.sDv;
    if (a.sDu == 0) {
        if (row >= 0 && row < a.limit) return {rlo, rhi};
        return {rhi, rhi};
    }
    if constexpr (Exact) {
        const int64_t first = CeilDiv(-row, a.sDu);
        const int64_t last = CeilDiv(a.limit - row, a.sDu);
        return {ClampToInt(first, rlo - 1, rhi + 1), ClampToInt(last, rlo - 1, rhi + 1)};
    } else {
        // The estimate is within `error` of the true real bound t; ceil(t) is then either k or k + 1, and an
        // exact test at k decides when the estimate cannot.
        auto bound = [&](double t0, int64_t threshold) {
            double t = t0 + uy * a.slope;
            t = std::clamp(t, static_cast<double>(rlo) - 4, static_cast<double>(rhi) + 4);
            int k = CeilToInt(t - a.error);
            if (k < t + a.error && row + k * a.sDu < threshold) ++k;
            return k;
        };
        return {bound(a.lowT0, 0), bound(a.highT0, a.limit)};
    }
}

// Walks [first, last) of one row, F fractional bits, writing every sample that is not the key.
template <int F, bool Opaque>
void WalkRow(uint8_t* d, const uint8_t* cell, size_t pitch, uint32_t x, uint32_t y, uint32_t dx, uint32_t dy, int n,
             uint8_t key) {
    for (; n >= 4; n -= 4, d += 4) {
        const uint8_t v0 = cell[(y >> F) * pitch + (x >> F)];
        x += dx, y += dy;
        const uint8_t v1 = cell[(y >> F) * pitch + (x >> F)];
        x += dx, y += dy;
        const uint8_t v2 = cell[(y >> F) * pitch + (x >> F)];
        x += dx, y += dy;
        const uint8_t v3 = cell[(y >> F) * pitch + (x >> F)];
        x += dx, y += dy;
        if constexpr (Opaque) {
            d[0] = v0, d[1] = v1, d[2] = v2, d[3] = v3;
        } else {
            d[0] = v0 == key ? d[0] : v0;
            d[1] = v1 == key ? d[1] : v1;
            d[2] = v2 == key ? d[2] : v2;
            d[3] = v3 == key ? d[3] : v3;
        }
    }
    for (; n > 0; --n, ++d) {
        const uint8_t v = cell[(y >> F) * pitch + (x >> F)];
        x += dx, y += dy;
        if constexpr (Opaque) {
            *d = v;
        } else {
            *d = v == key ? *d : v;
        }
    }
}

struct Plan {
    uint8_t* destOrigin;  // the destination pivot pixel (never dereferenced outside the rectangle)
    ptrdiff_t destPitch;
    const uint8_t* cell;  // the cell's first pixel
    size_t srcPitch;
    int uxLo, uxHi;  // columns of the rectangle relative to the pivot, [uxLo, uxHi)
    int uyLo, uyHi;
    Axis ax, ay;
    int fraction;
    int key;  // -1: every pixel drawn
};

template <int F, bool Opaque, bool Exact>
void Run(const Plan& p) {
    const uint8_t key = static_cast<uint8_t>(p.key);
    for (int uy = p.uyLo; uy < p.uyHi; ++uy) {
        const Span sx = AxisSpan<Exact>(p.ax, uy, p.uxLo, p.uxHi);
        const Span sy = AxisSpan<Exact>(p.ay, uy, p.uxLo, p.uxHi);
        const int first = std::max({sx.first, sy.first, p.uxLo});
        const int last = std::min({sx.last, sy.last, p.uxHi});
        if (first >= last) continue;
        const int64_t x = p.ax.base + static_cast<int64_t>(uy) * p.ax.dv + static_cast<int64_t>(first) * p.ax.du;
        const int64_t y = p.ay.base + static_cast<int64_t>(uy) * p.ay.dv + static_cast<int64_t>(first) * p.ay.du;
        WalkRow<F, Opaque>(p.destOrigin + uy * p.destPitch + first, p.cell, p.srcPitch, static_cast<uint32_t>(x),
                           static_cast<uint32_t>(y), static_cast<uint32_t>(p.ax.du), static_cast<uint32_t>(p.ay.du),
                           last - first, key);
    }
}

template <int F>
void Dispatch(const Plan& p, bool exact) {
    if (p.key < 0) {
        exact ? Run<F, true, true>(p) : Run<F, true, false>(p);
    } else {
        exact ? Run<F, false, true>(p) : Run<F, false, false>(p);
    }
}

}  // namespace

void ScaleRotate(const Request& r, Path path) {
    if (!r.destBits || !r.srcBits || r.destPitch <= 0 || r.srcPitch <= 0) return;
    if (!std::isfinite(r.angle) || !std::isfinite(r.zoom) || !(r.zoom > 0)) return;

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
    if (x0 >= x1 || y0 >= y1 || cl >= cr || ct >= cb) return;
    const int cellW = cr - cl, cellH = cb - ct;

    const int pdx = r.destLeft + r.destPivotX, pdy = r.destTop + r.destPivotY;
    // The source pivot's centre, relative to the cell's first pixel.
    const int pivotX = r.srcLeft + r.srcPivotX - cl, pivotY = r.srcTop + r.srcPivotY - ct;
    const uint8_t* cell = r.srcBits + static_cast<size_t>(ct) * r.srcPitch + cl;
    const double zoom = r.zoom;

    // Far from the pivot the cell is at most rmax away; when the whole picture shrinks below half a pixel, only
    // the pivot pixel's own sample can fall inside it, and that one is exact.
    const double fx = pivotX + 0.5, fy = pivotY + 0.5;
    const double rmax = std::hypot(std::max(fx, cellW - fx), std::max(fy, cellH - fy));
    if (zoom * rmax < 0.5) {
        if (pdx >= x0 && pdx < x1 && pdy >= y0 && pdy < y1 && pivotX >= 0 && pivotX < cellW && pivotY >= 0 &&
            pivotY < cellH) {
            const uint8_t v = cell[static_cast<size_t>(pivotY) * r.srcPitch + pivotX];
            if (v != r.key) r.destBits[static_cast<size_t>(pdy) * r.destPitch + pdx] = v;
        }
        return;
    }

    // Fraction bits: as many as let every in-cell position fit an unsigned 32-bit value.
    const int fraction = std::max(cellW, cellH) <= 256 ? 24 : 17;
    const double unit = std::ldexp(1.0, fraction);
    const double angle = r.angle;
    const double c = std::cos(angle) / zoom * unit, s = std::sin(angle) / zoom * unit;

    Plan p{};
    p.destPitch = r.destPitch;
    p.destOrigin = r.destBits + static_cast<ptrdiff_t>(pdy) * r.destPitch + pdx;
    p.cell = cell;
    p.srcPitch = static_cast<size_t>(r.srcPitch);
    p.uxLo = x0 - pdx;
    p.uxHi = x1 - pdx;
    p.uyLo = y0 - pdy;
    p.uyHi = y1 - pdy;
    p.fraction = fraction;
    p.key = r.key;

    // Rows beyond the turned cell's reach hold nothing; skipping them is only a saving, the row spans are exact.
    // The margin covers the coefficients' rounding, which zoom magnifies.
    const double margin = 2.0 + zoom * std::ldexp(1.0, 18 - fraction);
    const double reach = zoom * rmax + margin;
    if (reach < static_cast<double>(-p.uyLo)) p.uyLo = -static_cast<int>(reach);
    if (reach < static_cast<double>(p.uyHi)) p.uyHi = static_cast<int>(reach) + 1;
    if (reach < static_cast<double>(-p.uxLo)) p.uxLo = -static_cast<int>(reach);
    if (reach < static_cast<double>(p.uxHi)) p.uxHi = static_cast<int>(reach) + 1;
    if (p.uxLo >= p.uxHi || p.uyLo >= p.uyHi) return;

    const int64_t half = int64_t{1} << (fraction - 1);
    p.ax.base = (static_cast<int64_t>(pivotX) << fraction) + half;
    p.ax.du = std::llround(c);
    p.ax.dv = std::llround(s);
    p.ax.limit = static_cast<int64_t>(cellW) << fraction;
    p.ay.base = (static_cast<int64_t>(pivotY) << fraction) + half;
    p.ay.du = -std::llround(s);
    p.ay.dv = std::llround(c);
    p.ay.limit = static_cast<int64_t>(cellH) << fraction;
    const int maxAbsUy = std::max(std::abs(p.uyLo), std::abs(p.uyHi));
    Normalize(p.ax, maxAbsUy);
    Normalize(p.ay, maxAbsUy);

    // The estimates serve while they are good to well under a pixel; beyond that every row divides exactly.
    bool exact = path == Path::kExact || p.ax.error > 0.125 || p.ay.error > 0.125;
    if (fraction == 24) {
        Dispatch<24>(p, exact);
    } else {
        Dispatch<17>(p, exact);
    }
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
