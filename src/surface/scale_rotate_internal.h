// The blit behind LS8_ScaleRotate and LS8_ScaleRotateMask, with the switches the tests use to compare its ways
// of finding each row's span and its walks for different instruction sets.
#pragma once

#include <cstdint>

namespace quorvel::blit {

// The entry points' arguments, widened; coordinates stay within the 16-bit range.
struct Request {
    uint8_t* destBits;
    int destPitch;
    int destLeft, destTop, destPivotX, destPivotY, destWidth, destHeight;
    const uint8_t* srcBits;
    int srcPitch;
    int srcLeft, srcTop, srcPivotX, srcPivotY, srcWidth, srcHeight;
    float angle;
    float zoom;
    int key;  // 0..255: that index is not drawn; -1: every index is drawn
};

enum class Path {
    kEstimated,  // each row's span ends estimated, with an exact test wherever the estimate is too close to call
    kDivided,    // each row's span ends by integer division
};

// The instruction sets the walk along a row is compiled for; kBest picks the best the processor has.
enum class Isa { kBest, kPortable, kSse2, kAvx2 };

// Whether this build and processor can run the given walk.
bool Supported(Isa isa);

// Draws nothing when the walk asked for is not supported.
void ScaleRotate(const Request& request, Path path = Path::kEstimated, Isa isa = Isa::kBest);

}  // namespace quorvel::blit
