// The scale-rotate walker for processors with AVX2: as the SSE2 one, with the eight samples' offsets in one
// register and the fetched bytes inserted straight into a vector.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "surface/scale_rotate_plan.h"

#if QUORVEL_BLIT_X86

#include <immintrin.h>

// This file's code is only run after the processor says it has AVX2.
#pragma GCC target("avx2")

#include "surface/scale_rotate_vector.h"

namespace quorvel::blit::detail {
namespace {

template <int F, KeyMode Mode>
struct Avx2Walker : BlockWalker<Avx2Walker<F, Mode>, F, Mode> {
    using Base = BlockWalker<Avx2Walker<F, Mode>, F, Mode>;
    using Base::cell;
    using Base::Offsets;

    // The positions of eight samples, one a lane.
    struct Positions {
        __m256i x, y;
    };

    explicit Avx2Walker(const Plan& p) : Base(p) {
        const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
        const uint32_t dx = Base::dx, dy = Base::dy;
        x07 = _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int>(dx)));
        y07 = _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int>(dy)));
        x8 = _mm256_set1_epi32(static_cast<int>(dx * 8)), y8 = _mm256_set1_epi32(static_cast<int>(dy * 8));
        x16 = _mm256_set1_epi32(static_cast<int>(dx * 16)), y16 = _mm256_set1_epi32(static_cast<int>(dy * 16));
        pitchPair = _mm256_set1_epi32(static_cast<int>((Base::pitch << 16) | 1));
    }

    QUORVEL_INLINE Positions At(uint32_t x, uint32_t y) const {
        return {_mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(x)), x07),
                _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(y)), y07)};
    }

    static QUORVEL_INLINE __m128i Select(__m128i keep, __m128i dest, __m128i v) {
        return _mm_blendv_epi8(v, dest, keep);
    }

    static QUORVEL_INLINE __m256i MultiplyAdd(__m256i a, __m256i b) { return _mm256_madd_epi16(a, b); }

    template <Hold H>
    QUORVEL_INLINE __m128i Fetch(const Positions& at, int count) const {
        __m256i o = Offsets(at.x, at.y, pitchPair);
        const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
        if constexpr (H == Hold::kAfter) o = _mm256_and_si256(o, _mm256_cmpgt_epi32(_mm256_set1_epi32(count), lanes));
        if constexpr (H == Hold::kBefore)
            o = _mm256_and_si256(o, _mm256_cmpgt_epi32(lanes, _mm256_set1_epi32(count - 1)));
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
        return _mm_insert_epi8(v, cell[off[7]], 7);
    }

    // Draws sixteen samples, lane 0 of `at` the first: two sets of offsets, one merge of sixteen bytes.
    QUORVEL_INLINE void Block16(uint8_t* d, const Positions& at) const {
        const __m256i o0 = Offsets(at.x, at.y, pitchPair);
        const __m256i o1 = Offsets(_mm256_add_epi32(at.x, x8), _mm256_add_epi32(at.y, y8), pitchPair);
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
        this->template Put<16, false>(d, _mm_unpacklo_epi64(va, vb), _mm_setzero_si128());
    }

    // Draws the samples [first, last) of one row, (x, y) being the first one's position and d its pixel.
    QUORVEL_INLINE void Walk(uint8_t* d, int first, int last, uint32_t x, uint32_t y) const {
        const int n = last - first;
        Positions at = At(x, y);
        int j = 0;
        for (; j + 16 <= n; j += 16) {
            Block16(d + j, at);
            at = {_mm256_add_epi32(at.x, x16), _mm256_add_epi32(at.y, y16)};
        }
        if (j + 8 <= n) {
            this->template Block<Hold::kNone>(d + j, at, 0);
            at = {_mm256_add_epi32(at.x, x8), _mm256_add_epi32(at.y, y8)};
            j += 8;
        }
        this->Finish(d, first, last, j, x, y, at);
    }

    __m256i x07, y07, x8, y8, x16, y16, pitchPair;
};

}  // namespace

void RunAvx2(const Plan& plan) { RunPlan<Avx2Walker>(plan); }

}  // namespace quorvel::blit::detail

#endif
