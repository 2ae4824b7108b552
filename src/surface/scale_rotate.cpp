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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__GNUC__)
#define QUORVEL_INLINE inline __attribute__((always_inline))
// Makes the compiler store the array and load its elements back, rather than take each out of the vector
// register on its own, which costs more.
#define QUORVEL_KEEP_IN_MEMORY(array) asm volatile("" : : "r"(array) : "memory")
#else
#define QUORVEL_INLINE inline
#define QUORVEL_KEEP_IN_MEMORY(array)
#endif

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
    // ceil(highT0 + uy * slope). An axis whose value does not change along a row (sDu = 0) limits rows instead.
    double lowT0 = 0;
    double highT0 = 0;
    double slope = 0;
    double error = 0;  // bound on the estimates' rounding error
};

constexpr double kFar = 1e30;

// The integers t with 0 <= base + t * coef < limit, as [first, last), clamped to [lo, hi].
struct Range {
    int first;
    int last;
};

int64_t CeilDiv(int64_t n, int64_t d) { return n >= 0 ? (n + d - 1) / d : -((-n) / d); }

int ClampToInt(int64_t v, int lo, int hi) { return static_cast<int>(std::clamp<int64_t>(v, lo, hi)); }

Range RangeOf(int64_t base, int64_t coef, int64_t limit, int lo, int hi) {
    if (coef < 0) {
        base = limit - 1 - base;
        coef = -coef;
    }
    if (coef == 0) return base >= 0 && base < limit ? Range{lo, hi} : Range{hi, hi};
    return {ClampToInt(CeilDiv(-base, coef), lo, hi), ClampToInt(CeilDiv(limit - base, coef), lo, hi)};
}

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
    if (a.sDu == 0) {
        a.lowT0 = -kFar;
        a.highT0 = kFar;
        return;
    }
    const double du = static_cast<double>(a.sDu);
    a.lowT0 = -static_cast<double>(a.sBase) / du;
    a.highT0 = static_cast<double>(a.limit - a.sBase) / du;
    a.slope = -static_cast<double>(a.sDv) / du;
    // Each of the three quotients and the multiply-add carries at most a few ulps.
    a.error = (std::max(std::fabs(a.lowT0), std::fabs(a.highT0)) + std::fabs(a.slope) * maxAbsUy + 1.0) * 0x1p-48;
}

// ceil(t) without a branch, for |t| well below kCeilBias.
constexpr int kCeilBias = 1 << 22;
inline int Ceil(double t) { return kCeilBias - static_cast<int>(kCeilBias - t); }

struct Plan {
    uint8_t* destOrigin;  // the destination pivot pixel (never dereferenced outside the rectangle)
    ptrdiff_t destPitch;
    const uint8_t* cell;  // the cell's first pixel
    size_t srcPitch;
    int uxLo, uxHi;  // columns of the rectangle relative to the pivot, [uxLo, uxHi)
    int uyLo, uyHi;
    Axis ax, ay;
    int key;  // -1: every pixel drawn
};

// Walks n samples of one row from (x, y), F fractional bits, writing every one that is not the key.
template <int F, bool Opaque>
inline void WalkRow(uint8_t* d, const uint8_t* cell, size_t pitch, uint32_t x, uint32_t y, uint32_t dx, uint32_t dy,
                    int n, uint8_t key) {
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

#if defined(__SSE2__)
// Eight samples at a time: positions in vector lanes, source offsets by one multiply-add per four lanes
// (column and row packed as 16-bit halves), bytes fetched one by one, then the key test and the merge with the
// destination done on all eight. Blocks never extend past the span except inside the rectangle, where the
// lanes beyond it keep their byte and read the cell's first pixel instead of their own sample.
struct Lanes {
    __m128i x03, x47, y03, y47;  // 0..3 and 4..7 steps
    __m128i x8, y8;              // eight steps
    __m128i pitchPair;           // (1, pitch) in each 32-bit lane
    __m128i key;
    uint32_t dx, dy;
};

Lanes MakeLanes(uint32_t dx, uint32_t dy, size_t pitch, int key) {
    Lanes l;
    auto steps = [](uint32_t d, int from) {
        return _mm_setr_epi32(static_cast<int>(d * from), static_cast<int>(d * (from + 1)),
                              static_cast<int>(d * (from + 2)), static_cast<int>(d * (from + 3)));
    };
    l.x03 = steps(dx, 0), l.x47 = steps(dx, 4), l.y03 = steps(dy, 0), l.y47 = steps(dy, 4);
    l.x8 = _mm_set1_epi32(static_cast<int>(dx * 8)), l.y8 = _mm_set1_epi32(static_cast<int>(dy * 8));
    l.pitchPair = _mm_set1_epi32(static_cast<int>((pitch << 16) | 1));
    l.key = _mm_set1_epi8(static_cast<char>(key));
    l.dx = dx, l.dy = dy;
    return l;
}

template <int F>
inline __m128i Offsets(__m128i x, __m128i y, __m128i pitchPair) {
    // Column in the low half, row in the high half of each lane; both are below 2^15.
    const __m128i packed = _mm_or_si128(_mm_srli_epi32(x, F),
                                        _mm_and_si128(_mm_srli_epi32(y, F - 16), _mm_set1_epi32(~0xFFFF)));
    return _mm_madd_epi16(packed, pitchPair);
}

// Draws lanes 0..count-1 of a block of eight whose first sample is at (xa, ya) lane 0; lanes from `count` on
// read the cell's first pixel and are written to a scratch byte instead of the destination, as are key pixels,
// so the destination is only ever stored to, never read back.
template <int F, bool Opaque, bool Partial>
QUORVEL_INLINE void Block(uint8_t* d, const uint8_t* cell, __m128i xa, __m128i xb, __m128i ya, __m128i yb,
                          const Lanes& l, int count, uint8_t key) {
    __m128i oa = Offsets<F>(xa, ya, l.pitchPair), ob = Offsets<F>(xb, yb, l.pitchPair);
    if constexpr (Partial) {
        const __m128i n = _mm_set1_epi32(count);
        oa = _mm_and_si128(oa, _mm_cmplt_epi32(_mm_setr_epi32(0, 1, 2, 3), n));
        ob = _mm_and_si128(ob, _mm_cmplt_epi32(_mm_setr_epi32(4, 5, 6, 7), n));
    }
    alignas(16) int32_t off[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(off), oa);
    _mm_store_si128(reinterpret_cast<__m128i*>(off + 4), ob);
    QUORVEL_KEEP_IN_MEMORY(off);
    uint8_t scratch;
    for (int i = 0; i < 8; ++i) {
        const uint8_t v = cell[off[i]];
        bool skip = Opaque ? false : v == key;
        if constexpr (Partial) skip = skip || i >= count;
        uint8_t* target = skip ? &scratch : d + i;
        *target = v;
    }
}

// Draws the samples [first, last) of one row, (x, y) being the first one's position and d its pixel.
template <int F, bool Opaque>
QUORVEL_INLINE void WalkRowSse2(uint8_t* d, int n, const uint8_t* cell, uint32_t x, uint32_t y, const Lanes& l,
                                uint8_t key) {
    __m128i xa = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(x)), l.x03);
    __m128i xb = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(x)), l.x47);
    __m128i ya = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(y)), l.y03);
    __m128i yb = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(y)), l.y47);
    for (; n > 8; n -= 8, d += 8) {
        Block<F, Opaque, false>(d, cell, xa, xb, ya, yb, l, 8, key);
        xa = _mm_add_epi32(xa, l.x8), xb = _mm_add_epi32(xb, l.x8);
        ya = _mm_add_epi32(ya, l.y8), yb = _mm_add_epi32(yb, l.y8);
    }
    Block<F, Opaque, true>(d, cell, xa, xb, ya, yb, l, n, key);
}
template <int F, bool Opaque, bool Partial>
QUORVEL_INLINE void MergeBlock(uint8_t* d, const uint8_t* cell, __m128i xa, __m128i xb, __m128i ya, __m128i yb, const Lanes& l,
                  __m128i validA, __m128i validB, __m128i hold) {
    __m128i oa = Offsets<F>(xa, ya, l.pitchPair), ob = Offsets<F>(xb, yb, l.pitchPair);
    if constexpr (Partial) oa = _mm_and_si128(oa, validA), ob = _mm_and_si128(ob, validB);
    alignas(16) int32_t off[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(off), oa);
    _mm_store_si128(reinterpret_cast<__m128i*>(off + 4), ob);
    const uint32_t lo = cell[off[0]] | (cell[off[1]] << 8) | (cell[off[2]] << 16) | (uint32_t{cell[off[3]]} << 24);
    const uint32_t hi = cell[off[4]] | (cell[off[5]] << 8) | (cell[off[6]] << 16) | (uint32_t{cell[off[7]]} << 24);
    const __m128i v = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(lo)), _mm_cvtsi32_si128(static_cast<int>(hi)));
    if constexpr (Opaque && !Partial) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), v);
    } else {
        __m128i keep = Opaque ? hold : _mm_cmpeq_epi8(v, l.key);
        if constexpr (!Opaque && Partial) keep = _mm_or_si128(keep, hold);
        const __m128i dest = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d),
                         _mm_or_si128(_mm_and_si128(keep, dest), _mm_andnot_si128(keep, v)));
    }
}

// Draws the samples [first, last) of one row, (x, y) being the first one's position; `row` is the destination
// at column 0 relative to the pivot, and [lo, hi) the rectangle's columns.
template <int F, bool Opaque>
QUORVEL_INLINE void WalkRowMerge(uint8_t* row, int first, int last, int lo, int hi, const uint8_t* cell, size_t pitch,
                        uint32_t x, uint32_t y, const Lanes& l, uint8_t key) {
    const int n = last - first;
    const __m128i zero = _mm_setzero_si128();
    __m128i xa = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(x)), l.x03);
    __m128i xb = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(x)), l.x47);
    __m128i ya = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(y)), l.y03);
    __m128i yb = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(y)), l.y47);
    int j = 0;
    for (; j + 8 <= n; j += 8) {
        MergeBlock<F, Opaque, false>(row + first + j, cell, xa, xb, ya, yb, l, zero, zero, zero);
        xa = _mm_add_epi32(xa, l.x8), xb = _mm_add_epi32(xb, l.x8);
        ya = _mm_add_epi32(ya, l.y8), yb = _mm_add_epi32(yb, l.y8);
    }
    const int rest = n - j;
    if (rest == 0) return;
    const __m128i lanesA = _mm_setr_epi32(0, 1, 2, 3), lanesB = _mm_setr_epi32(4, 5, 6, 7);
    const __m128i lanes8 = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    if (hi - (first + j) >= 8) {
        // Lanes rest..7 lie inside the rectangle but past the span: they keep their byte.
        const __m128i count = _mm_set1_epi32(rest);
        MergeBlock<F, Opaque, true>(row + first + j, cell, xa, xb, ya, yb, l, _mm_cmplt_epi32(lanesA, count),
                               _mm_cmplt_epi32(lanesB, count),
                               _mm_cmpgt_epi8(lanes8, _mm_set1_epi8(static_cast<char>(rest - 1))));
    } else if (j == 0 && last - lo >= 8) {
        // A short span at the rectangle's right edge: lanes 0..7-n lie inside the rectangle before the span.
        const int skip = 8 - n;
        const __m128i count = _mm_set1_epi32(skip - 1);
        const __m128i xs = _mm_set1_epi32(static_cast<int>(x - static_cast<uint32_t>(skip) * l.dx));
        const __m128i ys = _mm_set1_epi32(static_cast<int>(y - static_cast<uint32_t>(skip) * l.dy));
        MergeBlock<F, Opaque, true>(row + last - 8, cell, _mm_add_epi32(xs, l.x03), _mm_add_epi32(xs, l.x47),
                               _mm_add_epi32(ys, l.y03), _mm_add_epi32(ys, l.y47), l, _mm_cmpgt_epi32(lanesA, count),
                               _mm_cmpgt_epi32(lanesB, count),
                               _mm_cmplt_epi8(lanes8, _mm_set1_epi8(static_cast<char>(skip))));
    } else {
        // Redrawing the last eight would read back bytes still on their way to memory; finish one by one.
        const uint32_t done = static_cast<uint32_t>(j);
        WalkRow<F, Opaque>(row + first + j, cell, pitch, x + done * l.dx, y + done * l.dy, l.dx, l.dy, rest, key);
    }
}
#endif

// One row's span, found in a first pass over a band of rows so that the walks of the second pass do not wait on
// the span arithmetic: each row's chain of dependent steps is long, and interleaving rows hides it.
struct RowSpan {
    uintptr_t dest;  // the destination pixel of the span's first sample
    uint32_t x, y;   // that sample's position
    int first;       // its column relative to the pivot
    int count;
};
constexpr int kBand = 64;

template <bool Exact>
QUORVEL_INLINE void FindSpan(const Plan& p, int uy, double error, double tMin, double tMax, int& first, int& last) {
    const Axis& ax = p.ax;
    const Axis& ay = p.ay;
    const int64_t rowX = ax.sBase + uy * ax.sDv, rowY = ay.sBase + uy * ay.sDv;
    if constexpr (Exact) {
        first = p.uxLo, last = p.uxHi;
        if (ax.sDu != 0) {
            first = std::max(first, ClampToInt(CeilDiv(-rowX, ax.sDu), p.uxLo, p.uxHi));
            last = std::min(last, ClampToInt(CeilDiv(ax.limit - rowX, ax.sDu), p.uxLo, p.uxHi));
        }
        if (ay.sDu != 0) {
            first = std::max(first, ClampToInt(CeilDiv(-rowY, ay.sDu), p.uxLo, p.uxHi));
            last = std::min(last, ClampToInt(CeilDiv(ay.limit - rowY, ay.sDu), p.uxLo, p.uxHi));
        }
    } else {
        // The first column inside is the larger of the two axes' first columns, the end the smaller of their
        // ends; ceil is monotone, so each is the ceil of the larger (smaller) estimate. When an estimate is too
        // close to an integer to call, one exact test at that integer decides.
        const double tl = std::clamp(std::max(ax.lowT0 + uy * ax.slope, ay.lowT0 + uy * ay.slope), tMin, tMax);
        const double th = std::clamp(std::min(ax.highT0 + uy * ax.slope, ay.highT0 + uy * ay.slope), tMin, tMax);
        first = Ceil(tl - error);
        if (first < tl + error && !(rowX + first * ax.sDu >= 0 && rowY + first * ay.sDu >= 0)) ++first;
        last = Ceil(th - error);
        if (last < th + error && !(rowX + last * ax.sDu >= ax.limit || rowY + last * ay.sDu >= ay.limit)) ++last;
        first = std::max(first, p.uxLo);
        last = std::min(last, p.uxHi);
    }
}

template <int F, bool Opaque, bool Exact>
void Run(const Plan& p) {
    const uint8_t key = static_cast<uint8_t>(p.key);
    const Axis& ax = p.ax;
    const Axis& ay = p.ay;
    const double error = std::max(ax.error, ay.error);
    // Estimates are clamped to a little beyond the rectangle, at half-integers so a clamped one never looks close.
    const double tMin = p.uxLo - 4.5, tMax = p.uxHi + 4.5;
#if defined(__SSE2__)
    const Lanes lanes = MakeLanes(static_cast<uint32_t>(ax.du), static_cast<uint32_t>(ay.du), p.srcPitch, p.key);
#endif
    const uintptr_t origin = reinterpret_cast<uintptr_t>(p.destOrigin);
    RowSpan spans[kBand];
    for (int band = p.uyLo; band < p.uyHi; band += kBand) {
        const int bandEnd = std::min(band + kBand, p.uyHi);
        int count = 0;
        for (int uy = band; uy < bandEnd; ++uy) {
            int first, last;
            FindSpan<Exact>(p, uy, error, tMin, tMax, first, last);
            RowSpan& s = spans[count];
            s.dest = origin + static_cast<uintptr_t>(uy * p.destPitch + first);
            s.x = static_cast<uint32_t>(ax.base + static_cast<int64_t>(uy) * ax.dv + static_cast<int64_t>(first) * ax.du);
            s.y = static_cast<uint32_t>(ay.base + static_cast<int64_t>(uy) * ay.dv + static_cast<int64_t>(first) * ay.du);
            s.first = first;
            s.count = last - first;
#if defined(__SSE2__)
            // Ask for the destination bytes now; the walk comes to them a band later.
            _mm_prefetch(reinterpret_cast<const char*>(s.dest), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(s.dest + s.count), _MM_HINT_T0);
#endif
            count += s.count > 0;
        }
        for (int i = 0; i < count; ++i) {
            const RowSpan& s = spans[i];
            uint8_t* d = reinterpret_cast<uint8_t*>(s.dest);
#if defined(__SSE2__)
#if QUORVEL_MERGE
            WalkRowMerge<F, Opaque>(d - s.first, s.first, s.first + s.count, p.uxLo, p.uxHi, p.cell, p.srcPitch, s.x, s.y, lanes, key);
#else
            WalkRowSse2<F, Opaque>(d, s.count, p.cell, s.x, s.y, lanes, key);
#endif
#else
            WalkRow<F, Opaque>(d, p.cell, p.srcPitch, s.x, s.y, static_cast<uint32_t>(ax.du),
                               static_cast<uint32_t>(ay.du), s.count, key);
#endif
        }
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
    // An axis that does not change along a row decides whole rows, once.
    for (const Axis* a : {&p.ax, &p.ay}) {
        if (a->sDu != 0) continue;
        const Range rows = RangeOf(a->sBase, a->sDv, a->limit, p.uyLo, p.uyHi);
        p.uyLo = rows.first;
        p.uyHi = std::min(p.uyHi, rows.last);
    }
    if (p.uyLo >= p.uyHi) return;

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
