// Number conversions the whole program shares: nearest-even rounding into fixed widths, and numeric text.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvel {

// Nearest integer, a value exactly halfway going to the even neighbour (2.5 gives 2, 3.5 gives 4).
// Empty when the result does not fit: such a conversion is an overflow, and its assignment is skipped.
std::optional<int16_t> ToInt16(double value);
std::optional<int32_t> ToInt32(double value);

// A 16-bit result that is known to fit, for expressions whose range the caller has already bounded.
inline int16_t RoundToInt16(double value) { return static_cast<int16_t>(std::nearbyint(value)); }

// Text to number the way a strict numeric conversion reads it: blanks around the number allowed, an optional
// sign, digits with an optional decimal point and exponent, or &H / &O for hexadecimal and octal. Anything
// else, or nothing, fails.
std::optional<double> ParseNumber(std::string_view text);

// Text to number the lenient way: leading blanks skipped, blanks anywhere inside ignored, reading stops at the
// first character that cannot belong to the number; no digits gives 0.
double Val(std::string_view text);

}  // namespace quorvel
