// Xft.dpi to a scale factor.
#include "host/x11/scale.h"

#include <cstdlib>

#include "base/display_scale.h"

namespace quorvel::x11 {

double ScaleForXftDpi(const char* value) {
    // No number reads as 0, which ScaleForDpi takes as unreadable.
    return value ? ScaleForDpi(std::strtod(value, nullptr)) : 1;
}

}  // namespace quorvel::x11
