// Number conversions the whole program shares: nearest-even rounding into fixed widths, numeric text, and
// twips to pixels.
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

// value * numerator / denominator with a 64-bit product, rounded half away from zero (Win32 MulDiv's rule);
// empty when the denominator is zero or the result does not fit 32 bits.
std::optional<int32_t> MulDivRound(int32_t value, int32_t numerator, int32_t denominator);

// Layouts are in twips, 1440 to the inch; both directions round like MulDivRound and give 0 when it fails.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kTwipsPerPoint = 20;
inline int TwipsToPixels(int twips, int dpi) { return MulDivRound(twips, dpi, kTwipsPerInch).value_or(0); }
inline int PixelsToTwips(int pixels, int dpi) { return MulDivRound(pixels, kTwipsPerInch, dpi).value_or(0); }

// Text to number the way a strict numeric conversion reads it: blanks around the number allowed, an optional
// sign, digits with an optional decimal point and exponent, or &H / &O for hexadecimal and octal. Anything
// else, or nothing, fails.
std::optional<double> ParseNumber(std::string_view text);

// Text to number the lenient way: leading blanks skipped, blanks anywhere inside ignored, reading stops at the
// first character that cannot belong to the number; no digits gives 0.
double Val(std::string_view text);

}  // namespace quorvel
