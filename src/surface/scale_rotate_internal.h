// The blit behind LS8_ScaleRotate and LS8_ScaleRotateMask, with a switch the tests use to compare its two ways
// of finding each row's span.
#pragma once

#include <cstdint>

namespace quorvel::blit {

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
    kFast,   // span ends estimated per row, settled by an exact test where the estimate is too close to call
    kExact,  // span ends by integer division on every row
};

void ScaleRotate(const Request& request, Path path = Path::kFast);

}  // namespace quorvel::blit
