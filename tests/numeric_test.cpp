// The conversions every subsystem shares: rounding into 16 bits, and MulDiv's arithmetic behind the twips.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>

#include "base/numeric.h"

TEST(Numeric, ToInt16RoundsHalvesToEvenAndRefusesWhatDoesNotFit) {
    const struct {
        double value;
        std::optional<int16_t> expected;
    } rows[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {32767.4, 32767}, {32767.5, {}}, {-32768.6, {}}, {std::nan(""), {}}};
    for (const auto& row : rows) EXPECT_EQ(quorvel::ToInt16(row.value), row.expected) << "value " << row.value;
}

TEST(Numeric, MulDivRoundsHalfAwayFromZeroThroughSixtyFourBits) {
    const struct {
        int32_t value, numerator, denominator;
        std::optional<int32_t> expected;
    } rows[] = {{7, 96, 1440, 0}, {8, 96, 1440, 1}, {5, 144, 1440, 1}, {-5, 144, 1440, -1},
                {0x7fffffff, 4, 4, 0x7fffffff}, {0x7fffffff, 4, 1, {}}, {1, 1, 0, {}}};
    for (const auto& row : rows) {
        EXPECT_EQ(quorvel::MulDivRound(row.value, row.numerator, row.denominator), row.expected)
            << row.value << " * " << row.numerator << " / " << row.denominator;
    }
    EXPECT_EQ(quorvel::TwipsToPixels(1, 0), 0) << "a failed conversion gives 0";
}
