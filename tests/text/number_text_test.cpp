// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace teravine {
namespace {

TEST(NumberText, GeneralFormOfSingles) {
    EXPECT_EQ(number_text(0.0f), " 0");
    EXPECT_EQ(number_text(-0.0f), " 0");
    EXPECT_EQ(number_text(0.5f), " .5");
    EXPECT_EQ(number_text(-0.25f), "-.25");
    EXPECT_EQ(number_text(4.88f), " 4.88");
    EXPECT_EQ(number_text(24.0f), " 24");
    EXPECT_EQ(number_text(23.98536f), " 23.98536");
    EXPECT_EQ(number_text(0.1f), " .1");
    EXPECT_EQ(number_text(1.1f), " 1.1");
    EXPECT_EQ(number_text(100.0f), " 100");
    EXPECT_EQ(number_text(-7.0f), "-7");
    EXPECT_EQ(number_text(0.0416921f), " .0416921");
    EXPECT_EQ(number_text(0.0001f), " .0001");
    EXPECT_EQ(number_text(1234567.0f), " 1234567");
}

TEST(NumberText, SevenSignificantDigitsRoundTheExactSingle) {
    EXPECT_EQ(number_text(0.2828427f), " .2828427");
    EXPECT_EQ(number_text(1.0f / 3.0f), " .3333333");
    EXPECT_EQ(number_text(2.0f / 3.0f), " .6666667");
    EXPECT_EQ(number_text(9999999.0f), " 9999999");
}

TEST(NumberText, ExponentFormAtTheEnds) {
    EXPECT_EQ(number_text(0.00001f), " 1E-05");
    EXPECT_EQ(number_text(-0.000015f), "-1.5E-05");
    EXPECT_EQ(number_text(10000000.0f), " 1E+07");
    EXPECT_EQ(number_text(12345678.0f), " 1.234568E+07");
    EXPECT_EQ(number_text(3.4e38f), " 3.4E+38");
    // Rounding to seven digits can carry into the next decade.
    EXPECT_EQ(number_text(9999999.5f), " 1E+07");
}

TEST(NumberText, Integers) {
    EXPECT_EQ(number_text(0), " 0");
    EXPECT_EQ(number_text(11), " 11");
    EXPECT_EQ(number_text(-3), "-3");
}

TEST(NumberText, NonFiniteValuesGiveAWordNotGarbage) {
    EXPECT_EQ(number_text(std::numeric_limits<float>::infinity()), " Inf");
    EXPECT_EQ(number_text(-std::numeric_limits<float>::infinity()), "-Inf");
    EXPECT_EQ(number_text(std::numeric_limits<float>::quiet_NaN()), "NaN");
}

TEST(Patterns, FixedDecimals) {
    EXPECT_EQ(format_fixed(1.1713867f, 2), "1.17");
    EXPECT_EQ(format_fixed(0.05f, 3), "0.050");
    EXPECT_EQ(format_fixed(0.0, 2), "0.00");
    EXPECT_EQ(format_fixed(3, 2), "3.00");
    EXPECT_EQ(format_fixed(0.999, 2), "1.00");
    EXPECT_EQ(format_fixed(-1.175, 2), "-1.18");
    EXPECT_EQ(format_fixed(-0.001, 2), "0.00");
}

TEST(Patterns, HalfAwayFromZeroOnTheExactValue) {
    EXPECT_EQ(format_fixed(0.125, 2), "0.13");  // an exact tie
    EXPECT_EQ(format_fixed(0.375, 2), "0.38");  // an exact tie
    EXPECT_EQ(format_fixed(0.0625, 3), "0.063"); // an exact tie
    EXPECT_EQ(format_fixed(1.005, 2), "1.00");   // just below the tie in binary
    EXPECT_EQ(format_fixed(2.5, 0), "3");
}

TEST(Patterns, ThreeDecimalsWithoutLeadingZero) {
    EXPECT_EQ(format_no_lead(0.25f, 3), ".250");
    EXPECT_EQ(format_no_lead(0.18f, 3), ".180");
    EXPECT_EQ(format_no_lead(1.1f, 3), "1.100");
    EXPECT_EQ(format_no_lead(0.0, 3), ".000");
    EXPECT_EQ(format_no_lead(-0.25, 3), "-.250");
}

TEST(Patterns, UpToSixDecimalsPointAlwaysWritten) {
    EXPECT_EQ(format_trim6(0.0), "0.");
    EXPECT_EQ(format_trim6(0.1f), "0.1");
    EXPECT_EQ(format_trim6(1.0), "1.");
    EXPECT_EQ(format_trim6(1.1f), "1.1");
    EXPECT_EQ(format_trim6(3 * 0.1f), "0.3");
    EXPECT_EQ(format_trim6(0.1234567), "0.123457");
}

TEST(Patterns, TwoDigitWholeNumbers) {
    EXPECT_EQ(format_two_digits(1.0 / 0.125f), "08");
    EXPECT_EQ(format_two_digits(1.0 / 0.0142857f), "70");
    EXPECT_EQ(format_two_digits(1.0 / 0.2f), "05");
    EXPECT_EQ(format_two_digits(1.0 / 0.090909f), "11");
    EXPECT_EQ(format_two_digits(123.0), "123");
    EXPECT_EQ(format_two_digits(0.4), "00");
}

TEST(Patterns, Percent) {
    EXPECT_EQ(format_percent(0.02f), "2%");
    EXPECT_EQ(format_percent(0.04f), "4%");
    EXPECT_EQ(format_percent(0.1f), "10%");
    EXPECT_EQ(format_percent(0.14f), "14%");
    EXPECT_EQ(format_percent(0.0), "0%");
    EXPECT_EQ(format_percent(12.345), "1,235%");
    EXPECT_EQ(format_percent(12345.6), "1,234,560%");
}

} // namespace
} // namespace teravine
