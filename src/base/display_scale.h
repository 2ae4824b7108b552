// A display's scaling as a factor of the 96 dots per inch the sprites are drawn for.
#pragma once

#include <algorithm>

namespace quorvel {

inline constexpr double kBaseDpi = 96;
// Windows offers scaling from 100 % to 500 %. Below 100 % the crawlers would shrink under their drawn size, which
// no scaling setting asks for (a DPI under 96 is an old server default, not a choice); above 500 % a mistyped
// value would blow a head up past the screen and push positions toward the 16-bit limit.
inline constexpr double kLargestScale = 5;

// dpi / 96 within [1, kLargestScale]; 1 for zero, negative or unreadable (NaN) values.
inline double ScaleForDpi(double dpi) {
    if (!(dpi > kBaseDpi)) return 1;
    return std::min(dpi / kBaseDpi, kLargestScale);
}

}  // namespace quorvel
