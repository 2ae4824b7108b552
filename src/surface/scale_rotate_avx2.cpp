// The scale-rotate walker for processors with AVX2: as the SSE2 one, with the eight samples' offsets in one
// register and the fetched bytes inserted straight into a vector.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "surface/scale_rotate_plan.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))

#include <immintrin.h>

// This file's code is only run after the processor says it has AVX2.
#pragma GCC target("avx2")

#include "surface/scale_rotate_run.h"

namespace quorvel::blit::detail {
namespace {

template <int F>
QUORVEL_INLINE __m256i Offsets(__m256i x, __m256i y, __m256i pitchPair) {
    // Column in the low half and row in the high half of each lane (both below 2^15), then one multiply-add.
    const __m256i packed = _mm256_or_si256(_mm256_srli_epi32(x, F),
                                           _mm256_and_si256(_mm256_srli_epi32(y, F - 16), _mm256_set1_epi32(~0xFFFF)));
    return _mm256_madd_epi16(packed, pitchPair);
}

template <int F, KeyMode Mode>
struct Avx2Walker {
    explicit Avx2Walker(const Plan& p)
        : cell(p.cell), pitch(p.srcPitch), lo(p.uxLo), hi(p.uxHi), dx(static_cast<uint32_t>(p.ax.du)),
          dy(static_cast<uint32_t>(p.ay.du)), key(p.key) {
        const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
        x07 = _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int>(dx)));
        y07 = _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int>(dy)));
        x8 = _mm256_set1_epi32(static_cast<int>(dx * 8)), y8 = _mm256_set1_epi32(static_cast<int>(dy * 8));
        x16 = _mm256_set1_epi32(static_cast<int>(dx * 16)), y16 = _mm256_set1_epi32(static_cast<int>(dy * 16));
        pitchPair = _mm256_set1_epi32(static_cast<int>((pitch << 16) | 1));
        keyBytes = _mm_set1_epi8(static_cast<char>(key));
    }

    // Draws the eight samples whose first is at lane 0 of (xs, ys). With Partial, lanes whose `valid` is zero keep
    // their destination byte and read the cell's first pixel instead of their own sample.
    template <bool Partial>
    QUORVEL_INLINE void Block(uint8_t* d, __m256i xs, __m256i ys, __m256i valid, __m128i hold) const {
        __m256i o = Offsets<F>(xs, ys, pitchPair);
        if constexpr (Partial) o = _mm256_and_si256(o, valid);
        // Unaligned stores: 64-bit Windows builds cannot promise a 32-byte aligned stack.
        alignas(32) uint32_t off[8];
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(off), o);
        __m128i v = _mm_cvtsi32_si128(cell[off[0]]);
        v = _mm_insert_epi8(v, cell[off[1]], 1);
        v = _mm_insert_epi8(v, cell[off[2]], 2);
        v = _mm_insert_epi8(v, cell[off[3]], 3);
        v = _mm_insert_epi8(v, cell[off[4]], 4);
        v = _mm_insert_epi8(v, cell[off[5]], 5);
        v = _mm_insert_epi8(v, cell[off[6]], 6);
        v = _mm_insert_epi8(v, cell[off[7]], 7);
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
            out = _mm_blendv_epi8(v, dest, keep);
        }
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), out);
    }

    // Draws sixteen samples, lane 0 of (xs, ys) the first: two sets of offsets, one merge of sixteen bytes.
    QUORVEL_INLINE void Block16(uint8_t* d, __m256i xs, __m256i ys) const {
        const __m256i o0 = Offsets<F>(xs, ys, pitchPair);
        const __m256i o1 = Offsets<F>(_mm256_add_epi32(xs, x8), _mm256_add_epi32(ys, y8), pitchPair);
        alignas(32) uint32_t off[16];
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(off), o0);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(off + 8), o1);
        __m128i va = _mm_cvtsi32_si128(cell[off[0]]), vb = _mm_cvtsi32_si128(cell[off[8]]);
        va = _mm_insert_epi8(va, cell[off[1]], 1), vb = _mm_insert_epi8(vb, cell[off[9]], 1);
        va = _mm_insert_epi8(va, cell[off[2]], 2), vb = _mm_insert_epi8(vb, cell[off[10]], 2);
        va = _mm_insert_epi8(va, cell[off[3]], 3), vb = _mm_insert_epi8(vb, cell[off[11]], 3);
        va = _mm_insert_epi8(va, cell[off[4]], 4), vb = _mm_insert_epi8(vb, cell[off[12]], 4);
        va = _mm_insert_epi8(va, cell[off[5]], 5), vb = _mm_insert_epi8(vb, cell[off[13]], 5);
        va = _mm_insert_epi8(va, cell[off[6]], 6), vb = _mm_insert_epi8(vb, cell[off[14]], 6);
        va = _mm_insert_epi8(va, cell[off[7]], 7), vb = _mm_insert_epi8(vb, cell[off[15]], 7);
        const __m128i v = _mm_unpacklo_epi64(va, vb);
        if constexpr (Mode == KeyMode::kOpaque) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v);
            return;
        }
        const __m128i dest = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
        __m128i out;
        if constexpr (Mode == KeyMode::kZero) {
            out = _mm_or_si128(_mm_and_si128(_mm_cmpeq_epi8(v, _mm_setzero_si128()), dest), v);
        } else {
            out = _mm_blendv_epi8(v, dest, _mm_cmpeq_epi8(v, keyBytes));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), out);
    }

    // Draws the samples [first, last) of one row, (x, y) being the first one's position and d its pixel. A block
    // may cover pixels of the rectangle beyond the span, which keep their bytes, but never a pixel outside it.
    QUORVEL_INLINE void Walk(uint8_t* d, int first, int last, uint32_t x, uint32_t y) const {
        const int n = last - first;
        __m256i xs = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(x)), x07);
        __m256i ys = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(y)), y07);
        int j = 0;
        for (; j + 16 <= n; j += 16) {
            Block16(d + j, xs, ys);
            xs = _mm256_add_epi32(xs, x16), ys = _mm256_add_epi32(ys, y16);
        }
        if (j + 8 <= n) {
            Block<false>(d + j, xs, ys, _mm256_setzero_si256(), _mm_setzero_si128());
            xs = _mm256_add_epi32(xs, x8), ys = _mm256_add_epi32(ys, y8);
            j += 8;
        }
        const int rest = n - j;
        if (rest == 0) return;
        const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
        const __m128i lanes8 = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
        if (hi - (first + j) >= 8) {
            // Lanes rest..7 lie inside the rectangle past the span.
            Block<true>(d + j, xs, ys, _mm256_cmpgt_epi32(_mm256_set1_epi32(rest), lanes),
                        _mm_cmpgt_epi8(lanes8, _mm_set1_epi8(static_cast<char>(rest - 1))));
        } else if (j == 0 && last - lo >= 8) {
            // A short span at the rectangle's right edge: lanes 0..7-n lie inside the rectangle before the span.
            const int skip = 8 - n;
            const __m256i xb = _mm256_set1_epi32(static_cast<int>(x - static_cast<uint32_t>(skip) * dx));
            const __m256i yb = _mm256_set1_epi32(static_cast<int>(y - static_cast<uint32_t>(skip) * dy));
            Block<true>(d + (n - 8), _mm256_add_epi32(xb, x07), _mm256_add_epi32(yb, y07),
                        _mm256_cmpgt_epi32(lanes, _mm256_set1_epi32(skip - 1)),
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
    __m256i x07, y07, x8, y8, x16, y16, pitchPair;
    __m128i keyBytes;
};

}  // namespace

void RunAvx2(const Plan& plan) { RunPlan<Avx2Walker>(plan); }

}  // namespace quorvel::blit::detail

#else

namespace quorvel::blit::detail {
void RunAvx2(const Plan& plan) { RunPortable(plan); }
}  // namespace quorvel::blit::detail

#endif
