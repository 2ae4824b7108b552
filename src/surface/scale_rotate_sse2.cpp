// The scale-rotate walker for processors with SSE2: eight samples per step, their source offsets computed in
// vector lanes, the bytes fetched one by one, and the key test and the merge with the destination done on all
// eight at once.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "surface/scale_rotate_plan.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))

// 32-bit x86 builds do not assume SSE2; this file's code is only run after the processor says it has it.
#if !defined(__SSE2__)
#pragma GCC target("sse2")
#endif
#include <emmintrin.h>

#include "surface/scale_rotate_run.h"

namespace quorvel::blit::detail {
namespace {

template <int F>
QUORVEL_INLINE __m128i Offsets(__m128i x, __m128i y, __m128i pitchPair) {
    // Column in the low half and row in the high half of each lane (both below 2^15), then one multiply-add.
    const __m128i packed = _mm_or_si128(_mm_srli_epi32(x, F),
                                        _mm_and_si128(_mm_srli_epi32(y, F - 16), _mm_set1_epi32(~0xFFFF)));
    return _mm_madd_epi16(packed, pitchPair);
}

// Lane i holds (from + i) steps of d.
__m128i Steps(uint32_t d, uint32_t from) {
    return _mm_setr_epi32(static_cast<int>(d * from), static_cast<int>(d * (from + 1)),
                          static_cast<int>(d * (from + 2)), static_cast<int>(d * (from + 3)));
}

template <int F, KeyMode Mode>
struct Sse2Walker {
    explicit Sse2Walker(const Plan& p)
        : cell(p.cell), pitch(p.srcPitch), lo(p.uxLo), hi(p.uxHi), dx(static_cast<uint32_t>(p.ax.du)),
          dy(static_cast<uint32_t>(p.ay.du)), key(p.key) {
        x03 = Steps(dx, 0), x47 = Steps(dx, 4), y03 = Steps(dy, 0), y47 = Steps(dy, 4);
        x8 = _mm_set1_epi32(static_cast<int>(dx * 8)), y8 = _mm_set1_epi32(static_cast<int>(dy * 8));
        pitchPair = _mm_set1_epi32(static_cast<int>((pitch << 16) | 1));
        keyBytes = _mm_set1_epi8(static_cast<char>(key));
    }

    // Draws the eight samples whose first is at lane 0 of (xa, ya). With Partial, lanes whose `valid` is zero keep
    // their destination byte and read the cell's first pixel instead of their own sample.
    template <bool Partial>
    QUORVEL_INLINE void Block(uint8_t* d, __m128i xa, __m128i xb, __m128i ya, __m128i yb, __m128i validA,
                              __m128i validB, __m128i hold) const {
        __m128i oa = Offsets<F>(xa, ya, pitchPair), ob = Offsets<F>(xb, yb, pitchPair);
        if constexpr (Partial) oa = _mm_and_si128(oa, validA), ob = _mm_and_si128(ob, validB);
        alignas(16) uint32_t off[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(off), oa);
        _mm_store_si128(reinterpret_cast<__m128i*>(off + 4), ob);
        const uint32_t b0 = cell[off[0]] | (cell[off[1]] << 8) | (cell[off[2]] << 16) | (uint32_t{cell[off[3]]} << 24);
        const uint32_t b1 = cell[off[4]] | (cell[off[5]] << 8) | (cell[off[6]] << 16) | (uint32_t{cell[off[7]]} << 24);
        const __m128i v =
            _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(b0)), _mm_cvtsi32_si128(static_cast<int>(b1)));
        if constexpr (Mode == KeyMode::kOpaque && !Partial) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(d), v);
            return;
        }
        const __m128i dest = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d));
        __m128i out;
        if constexpr (Mode == KeyMode::kZero && !Partial) {
            // Key 0: a keyed lane of v is already zero, so it can simply be or-ed in.
            out = _mm_or_si128(_mm_and_si128(_mm_cmpeq_epi8(v, _mm_setzero_si128()), dest), v);
        } else {
            __m128i keep = Mode == KeyMode::kOpaque ? hold : _mm_cmpeq_epi8(v, keyBytes);
            if constexpr (Mode != KeyMode::kOpaque && Partial) keep = _mm_or_si128(keep, hold);
            out = _mm_or_si128(_mm_and_si128(keep, dest), _mm_andnot_si128(keep, v));
        }
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), out);
    }

    // Draws the samples [first, last) of one row, (x, y) being the first one's position and d its pixel. A block
    // may cover pixels of the rectangle beyond the span, which keep their bytes, but never a pixel outside it.
    QUORVEL_INLINE void Walk(uint8_t* d, int first, int last, uint32_t x, uint32_t y) const {
        const int n = last - first;
        const __m128i zero = _mm_setzero_si128();
        __m128i xa = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(x)), x03);
        __m128i xb = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(x)), x47);
        __m128i ya = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(y)), y03);
        __m128i yb = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(y)), y47);
        int j = 0;
        for (; j + 8 <= n; j += 8) {
            Block<false>(d + j, xa, xb, ya, yb, zero, zero, zero);
            xa = _mm_add_epi32(xa, x8), xb = _mm_add_epi32(xb, x8);
            ya = _mm_add_epi32(ya, y8), yb = _mm_add_epi32(yb, y8);
        }
        const int rest = n - j;
        if (rest == 0) return;
        const __m128i lanesA = _mm_setr_epi32(0, 1, 2, 3), lanesB = _mm_setr_epi32(4, 5, 6, 7);
        const __m128i lanes8 = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
        if (hi - (first + j) >= 8) {
            // Lanes rest..7 lie inside the rectangle past the span.
            const __m128i count = _mm_set1_epi32(rest);
            Block<true>(d + j, xa, xb, ya, yb, _mm_cmplt_epi32(lanesA, count),
                        _mm_cmplt_epi32(lanesB, count),
                        _mm_cmpgt_epi8(lanes8, _mm_set1_epi8(static_cast<char>(rest - 1))));
        } else if (j == 0 && last - lo >= 8) {
            // A short span at the rectangle's right edge: lanes 0..7-n lie inside the rectangle before the span.
            const int skip = 8 - n;
            const __m128i count = _mm_set1_epi32(skip - 1);
            const __m128i xs = _mm_set1_epi32(static_cast<int>(x - static_cast<uint32_t>(skip) * dx));
            const __m128i ys = _mm_set1_epi32(static_cast<int>(y - static_cast<uint32_t>(skip) * dy));
            Block<true>(d + (n - 8), _mm_add_epi32(xs, x03), _mm_add_epi32(xs, x47), _mm_add_epi32(ys, y03),
                        _mm_add_epi32(ys, y47), _mm_cmpgt_epi32(lanesA, count), _mm_cmpgt_epi32(lanesB, count),
                        _mm_cmplt_epi8(lanes8, _mm_set1_epi8(static_cast<char>(skip))));
        } else {
            // Redrawing the last eight would read back bytes still on their way to memory; finish one by one.
            const uint32_t done = static_cast<uint32_t>(j);
            WalkRow<F, Mode>(d + j, cell, pitch, x + done * dx, y + done * dy, dx, dy, rest, key);
        }
    }

    const uint8_t* cell;
    size_t pitch;
    int lo, hi;
    uint32_t dx, dy;
    uint8_t key;
    __m128i x03, x47, y03, y47, x8, y8, pitchPair, keyBytes;
};

}  // namespace

void RunSse2(const Plan& plan) { RunPlan<Sse2Walker>(plan); }

}  // namespace quorvel::blit::detail

#else

namespace quorvel::blit::detail {
void RunSse2(const Plan& plan) { RunPortable(plan); }
}  // namespace quorvel::blit::detail

#endif
