// The scale-rotate walker for processors with SSE2: eight samples per step, their source offsets computed in
// vector lanes, the bytes fetched one by one, and the key test and the merge with the destination done on all
// eight at once.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "surface/scale_rotate_plan.h"

#if QUORVEL_BLIT_X86

// 32-bit x86 builds do not assume SSE2; this file's code is only run after the processor says it has it.
#if !defined(__SSE2__)
#pragma GCC target("sse2")
#endif
#include <emmintrin.h>

#include "surface/scale_rotate_vector.h"

namespace quorvel::blit::detail {
namespace {

// Lane i holds (from + i) steps of d.
__m128i Steps(uint32_t d, uint32_t from) {
    return _mm_setr_epi32(static_cast<int>(d * from), static_cast<int>(d * (from + 1)),
                          static_cast<int>(d * (from + 2)), static_cast<int>(d * (from + 3)));
}

template <int F, KeyMode Mode>
struct Sse2Walker : BlockWalker<Sse2Walker<F, Mode>, F, Mode> {
    using Base = BlockWalker<Sse2Walker<F, Mode>, F, Mode>;
    using Base::cell;
    using Base::Offsets;

    // The positions of eight samples, four in each half.
    struct Positions {
        __m128i xa, xb, ya, yb;
    };

    explicit Sse2Walker(const Plan& p) : Base(p) {
        x03 = Steps(Base::dx, 0), x47 = Steps(Base::dx, 4), y03 = Steps(Base::dy, 0), y47 = Steps(Base::dy, 4);
        x8 = _mm_set1_epi32(static_cast<int>(Base::dx * 8)), y8 = _mm_set1_epi32(static_cast<int>(Base::dy * 8));
        pitchPair = _mm_set1_epi32(static_cast<int>((Base::pitch << 16) | 1));
    }

    QUORVEL_INLINE Positions At(uint32_t x, uint32_t y) const {
        const __m128i xs = _mm_set1_epi32(static_cast<int>(x)), ys = _mm_set1_epi32(static_cast<int>(y));
        return {_mm_add_epi32(xs, x03), _mm_add_epi32(xs, x47), _mm_add_epi32(ys, y03), _mm_add_epi32(ys, y47)};
    }

    static QUORVEL_INLINE __m128i Select(__m128i keep, __m128i dest, __m128i v) {
        return _mm_or_si128(_mm_and_si128(keep, dest), _mm_andnot_si128(keep, v));
    }

    static QUORVEL_INLINE __m128i MultiplyAdd(__m128i a, __m128i b) { return _mm_madd_epi16(a, b); }

    template <Hold H>
    QUORVEL_INLINE __m128i Fetch(const Positions& at, int count) const {
        __m128i oa = Offsets(at.xa, at.ya, pitchPair), ob = Offsets(at.xb, at.yb, pitchPair);
        const __m128i lanesA = _mm_setr_epi32(0, 1, 2, 3), lanesB = _mm_setr_epi32(4, 5, 6, 7);
        if constexpr (H == Hold::kAfter) {
            const __m128i n = _mm_set1_epi32(count);
            oa = _mm_and_si128(oa, _mm_cmplt_epi32(lanesA, n)), ob = _mm_and_si128(ob, _mm_cmplt_epi32(lanesB, n));
        } else if constexpr (H == Hold::kBefore) {
            const __m128i n = _mm_set1_epi32(count - 1);
            oa = _mm_and_si128(oa, _mm_cmpgt_epi32(lanesA, n)), ob = _mm_and_si128(ob, _mm_cmpgt_epi32(lanesB, n));
        }
        alignas(16) uint32_t off[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(off), oa);
        _mm_store_si128(reinterpret_cast<__m128i*>(off + 4), ob);
        const uint32_t b0 = cell[off[0]] | (cell[off[1]] << 8) | (cell[off[2]] << 16) | (uint32_t{cell[off[3]]} << 24);
        const uint32_t b1 = cell[off[4]] | (cell[off[5]] << 8) | (cell[off[6]] << 16) | (uint32_t{cell[off[7]]} << 24);
        return _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(b0)), _mm_cvtsi32_si128(static_cast<int>(b1)));
    }

    // Draws the samples [first, last) of one row, (x, y) being the first one's position and d its pixel.
    QUORVEL_INLINE void Walk(uint8_t* d, int first, int last, uint32_t x, uint32_t y) const {
        const int n = last - first;
        Positions at = At(x, y);
        int j = 0;
        for (; j + 8 <= n; j += 8) {
            this->template Block<Hold::kNone>(d + j, at, 0);
            at.xa = _mm_add_epi32(at.xa, x8), at.xb = _mm_add_epi32(at.xb, x8);
            at.ya = _mm_add_epi32(at.ya, y8), at.yb = _mm_add_epi32(at.yb, y8);
        }
        this->Finish(d, first, last, j, x, y, at);
    }

    __m128i x03, x47, y03, y47, x8, y8, pitchPair;
};

}  // namespace

void RunSse2(const Plan& plan) { RunPlan<Sse2Walker>(plan); }

}  // namespace quorvel::blit::detail

#endif
