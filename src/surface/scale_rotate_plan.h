// What the scale-rotate blit has worked out for one call, handed to the instruction-set-specific walkers.
// Plain data only: the code that uses it is compiled once per instruction set, each copy private to its file.
#pragma once

#include <cstddef>
#include <cstdint>

// Builds by GCC-compatible compilers for x86 have the SSE2 and AVX2 walkers.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define QUORVEL_BLIT_X86 1
#else
#define QUORVEL_BLIT_X86 0
#endif

namespace quorvel::blit::detail {

// One source axis of the sample position: value(ux, uy) = base + ux * du + uy * dv, in units of 2^-F source
// pixels, relative to the cell's first column or row; the sample is inside along this axis when
// 0 <= value < limit. The s* fields state the same condition with a non-negative ux coefficient.
struct Axis {
    int64_t base;
    int64_t du;
    int64_t dv;
    int64_t limit;
    int64_t sBase;
    int64_t sDu;
    int64_t sDv;
    // Estimates of the row's span ends along this axis: the first column inside is ceil(lowT0 + uy * slope),
    // the first one past the end ceil(highT0 + uy * slope); for an axis that does not change along a row they
    // are far outside the rectangle.
    double lowT0;
    double highT0;
    double slope;
};

enum class KeyMode {
    kOpaque,  // every sample is drawn
    kZero,    // samples of index 0 are not drawn (the saver's case)
    kIndex,   // samples of index `key` are not drawn
};

struct Plan {
    uint8_t* destCorner;  // the destination rectangle's first pixel (on the surface)
    int cornerUx, cornerUy;  // that pixel's place relative to the pivot
    ptrdiff_t destPitch;
    const uint8_t* cell;  // the cell's first pixel
    size_t srcPitch;
    int uxLo, uxHi;  // columns of the rectangle relative to the pivot, [uxLo, uxHi)
    int uyLo, uyHi;  // rows, likewise
    Axis ax, ay;
    int fraction;    // F: 24 for cells up to 256 pixels, 17 beyond
    KeyMode keyMode;
    uint8_t key;
    double error;      // bound on the estimates' error, well below a column
    bool divideSpans;  // find each row's span by division instead of from the estimates
};

// Draws the plan. Each is compiled for its own instruction set; the caller checks the processor first.
void RunPortable(const Plan& plan);
void RunSse2(const Plan& plan);
void RunAvx2(const Plan& plan);
bool HaveSse2();
bool HaveAvx2();

}  // namespace quorvel::blit::detail
