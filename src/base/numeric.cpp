// Number conversions shared by every subsystem.
#include "base/numeric.h"

#include <cstdlib>
#include <limits>
#include <string>

namespace quorvel {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

template <typename Int>
std::optional<Int> RoundInto(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    // nearbyint follows the current rounding mode, which the program never changes from nearest-even.
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<Int>::min() || rounded > std::numeric_limits<Int>::max()) return std::nullopt;
    return static_cast<Int>(rounded);
}

// Reads a radix-prefixed integer (&H1F, &O17) from text; pos moves past what was read. Empty when the text
// holds no radix prefix there; anyDigit tells whether digits followed it.
std::optional<double> ReadRadix(std::string_view text, size_t& pos, bool skipBlanks, bool& anyDigit) {
    anyDigit = false;
    if (pos + 1 >= text.size() || text[pos] != '&') return std::nullopt;
    const char kind = static_cast<char>(text[pos + 1] | 0x20);
    const int radix = kind == 'h' ? 16 : kind == 'o' ? 8 : 0;
    if (radix == 0) return std::nullopt;
    size_t i = pos + 2;
    double value = 0;
    bool any = false;
    for (; i < text.size(); ++i) {
        if (skipBlanks && IsBlank(text[i])) continue;
        const char c = static_cast<char>(text[i] | 0x20);
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0 || digit >= radix) break;
        value = value * radix + digit;
        any = true;
    }
    pos = i;
    anyDigit = any;
    return value;
}

// Reads [sign] digits [. digits] [E|D [sign] digits] into a plain decimal string for strtod.
std::string ReadDecimal(std::string_view text, size_t& pos, bool skipBlanks, bool& anyDigit) {
    std::string number;
    anyDigit = false;
    auto skip = [&] {
        while (skipBlanks && pos < text.size() && IsBlank(text[pos])) ++pos;
    };
    auto digits = [&] {
        bool any = false;
        for (skip(); pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; skip()) {
            number += text[pos++];
            any = true;
        }
        return any;
    };
    skip();
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) number += text[pos++];
    anyDigit = digits();
    if (pos < text.size() && text[pos] == '.') {
        number += text[pos++];
        anyDigit = digits() || anyDigit;
    }
    if (anyDigit && pos < text.size() && (text[pos] == 'e' || text[pos] == 'E' || text[pos] == 'd' || text[pos] == 'D')) {
        const size_t mark = pos;
        std::string exponent = "e";
        ++pos;
        skip();
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) exponent += text[pos++];
        const size_t before = number.size();
        number += exponent;
        if (!digits()) {
            number.resize(before);
            pos = mark;
        }
    }
    return number;
}

}  // namespace

std::optional<int16_t> ToInt16(double value) { return RoundInto<int16_t>(value); }
std::optional<int32_t> ToInt32(double value) { return RoundInto<int32_t>(value); }

std::optional<double> ParseNumber(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    std::optional<double> value;
    bool anyDigit = false;
    if (pos < text.size() && text[pos] == '&') {
        value = ReadRadix(text, pos, false, anyDigit);
    } else {
        const std::string number = ReadDecimal(text, pos, false, anyDigit);
        if (anyDigit) value = std::strtod(number.c_str(), nullptr);
    }
    if (!value || !anyDigit) return std::nullopt;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos != text.size() || !std::isfinite(*value)) return std::nullopt;
    return value;
}

double Val(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && (IsBlank(text[pos]) || text[pos] == '\n' || text[pos] == '\r')) ++pos;
    bool anyDigit = false;
    if (auto radix = ReadRadix(text, pos, true, anyDigit)) return *radix;
    const std::string number = ReadDecimal(text, pos, true, anyDigit);
    if (!anyDigit) return 0;
    return std::strtod(number.c_str(), nullptr);
}

std::optional<int32_t> MulDivRound(int32_t value, int32_t numerator, int32_t denominator) {
    if (denominator == 0) return std::nullopt;
    const int64_t product = static_cast<int64_t>(value) * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const uint64_t magnitude = static_cast<uint64_t>(product < 0 ? -product : product);
    const uint64_t divisor = static_cast<uint64_t>(denominator < 0 ? -static_cast<int64_t>(denominator) : denominator);
    const uint64_t rounded = (magnitude + divisor / 2) / divisor;
    if (rounded > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return std::nullopt;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(rounded) : static_cast<int64_t>(rounded));
}

}  // namespace quorvel
