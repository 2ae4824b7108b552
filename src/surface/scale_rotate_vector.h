// What the vector walkers of the scale-rotate blit share: blocks of eight samples whose bytes are merged with the
// destination at once, and the end of a row whose span does not fill a block. Each vector walker's file includes
// this after choosing its instruction set, so everything here is private to that file and compiled for it.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "surface/scale_rotate_plan.h"
#include "surface/scale_rotate_run.h"

namespace quorvel::blit::detail {
namespace {

// Vectors of 32-bit lanes, for arithmetic written once for both widths.
typedef uint32_t Words4 __attribute__((vector_size(16)));
typedef uint32_t Words8 __attribute__((vector_size(32)));

// Which lanes of a block of eight keep their destination byte instead of drawing.
enum class Hold {
    kNone,    // the whole block lies in the span
    kAfter,   // lanes from `count` on lie past the span's end, inside the rectangle
    kBefore,  // lanes before `count` lie before the span's start, inside the rectangle
};

// The part of a vector walker that does not depend on its vector width. The walker itself, Lanes, supplies:
//   Positions, where the samples of a block of eight lie, and At(x, y), the block whose first sample is at (x, y);
//   Fetch<H>(at, count), the block's eight bytes, lanes that H holds reading the cell's first pixel instead;
//   Select(keep, dest, v), dest where keep is set and v elsewhere;
//   MultiplyAdd(a, b), pmaddwd at its width.
template <class Lanes, int F, KeyMode Mode>
struct BlockWalker {
    explicit BlockWalker(const Plan& p)
        : cell(p.cell), pitch(p.srcPitch), lo(p.uxLo), hi(p.uxHi), dx(static_cast<uint32_t>(p.ax.du)),
          dy(static_cast<uint32_t>(p.ay.du)), key(p.key), keyBytes(_mm_set1_epi8(static_cast<char>(p.key))) {}

    // The cell offsets of samples at (x, y), lane by lane, V being a vector of 32-bit lanes and pitchPair holding
    // (1, pitch) as 16-bit halves: column in the low half and row in the high half of each lane (both below
    // 2^15), then one multiply-add.
    template <class V>
    static QUORVEL_INLINE V Offsets(V x, V y, V pitchPair) {
        using Words = std::conditional_t<sizeof(V) == 16, Words4, Words8>;
        const Words packed = (Words(x) >> F) | ((Words(y) >> (F - 16)) & ~0xFFFFu);
        return Lanes::MultiplyAdd(V(packed), pitchPair);
    }

    // Writes the first Bytes (8 or 16) bytes of v to d, except where v holds the key or, with Partial, `hold` is
    // set: there d keeps its byte.
    template <int Bytes, bool Partial>
    QUORVEL_INLINE void Put(uint8_t* d, __m128i v, __m128i hold) const {
        if constexpr (Mode == KeyMode::kOpaque && !Partial) {
            Store<Bytes>(d, v);
            return;
        }
        const __m128i dest = Load<Bytes>(d);
        __m128i out;
        if constexpr (Mode == KeyMode::kZero && !Partial) {
            // Key 0: a keyed lane of v is already zero, so it can simply be or-ed in.
            out = _mm_or_si128(_mm_and_si128(_mm_cmpeq_epi8(v, _mm_setzero_si128()), dest), v);
        } else {
            __m128i keep = Mode == KeyMode::kOpaque ? hold : _mm_cmpeq_epi8(v, keyBytes);
            if constexpr (Mode != KeyMode::kOpaque && Partial) keep = _mm_or_si128(keep, hold);
            out = Lanes::Select(keep, dest, v);
        }
        Store<Bytes>(d, out);
    }

    // Draws the block of eight at d whose samples lie at `at`, keeping the bytes that H holds.
    template <Hold H, class Positions>
    QUORVEL_INLINE void Block(uint8_t* d, const Positions& at, int count) const {
        const __m128i v = static_cast<const Lanes&>(*this).template Fetch<H>(at, count);
        Put<8, H != Hold::kNone>(d, v, Held<H>(count));
    }

    // Draws what is left of the samples [first, last) of a row once its first j are drawn: d is the pixel of the
    // row's first sample, (x, y) its position, `at` the block of sample j. A block may cover pixels of the
    // rectangle beyond the span, which keep their bytes, but never a pixel outside it.
    template <class Positions>
    QUORVEL_INLINE void Finish(uint8_t* d, int first, int last, int j, uint32_t x, uint32_t y,
                               const Positions& at) const {
        const int n = last - first, rest = n - j;
        if (rest == 0) return;
        if (hi - (first + j) >= 8) {
            // Lanes rest..7 lie inside the rectangle past the span.
            Block<Hold::kAfter>(d + j, at, rest);
        } else if (j == 0 && last - lo >= 8) {
            // A short span at the rectangle's right edge: lanes 0..7-n lie inside the rectangle before the span.
            const int skip = 8 - n;
            const uint32_t back = static_cast<uint32_t>(skip);
            Block<Hold::kBefore>(d + (n - 8), static_cast<const Lanes&>(*this).At(x - back * dx, y - back * dy), skip);
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
    __m128i keyBytes;

private:
    template <int Bytes>
    static QUORVEL_INLINE __m128i Load(const uint8_t* d) {
        if constexpr (Bytes == 8) return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d));
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    }

    template <int Bytes>
    static QUORVEL_INLINE void Store(uint8_t* d, __m128i v) {
        if constexpr (Bytes == 8) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(d), v);
        } else {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v);
        }
    }

    // The bytes of a block that H holds.
    template <Hold H>
    static QUORVEL_INLINE __m128i Held(int count) {
        if constexpr (H == Hold::kNone) return _mm_setzero_si128();
        const __m128i lanes = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
        if constexpr (H == Hold::kAfter) return _mm_cmpgt_epi8(lanes, _mm_set1_epi8(static_cast<char>(count - 1)));
        return _mm_cmplt_epi8(lanes, _mm_set1_epi8(static_cast<char>(count)));
    }
};

}  // namespace
}  // namespace quorvel::blit::detail
