// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/polynomial.h"

#include <gtest/gtest.h>

#include <limits>

namespace teravine {
namespace {

TEST(Pol5_0, InverseNOfKZeroAtOne) {
    const Calibration cal = make_calibration(1);
    // 0.1042 + 0.1487 + 0.2428 - 0.5353 + 0.2421, summed in double from the singles.
    const double expected = ((0.1487f + static_cast<double>(0.1042f)) + 0.2428f) +
                            static_cast<double>(-0.5353f) + 0.2421f;
    EXPECT_EQ(Pol5_0(cal.coef_invn, 1, 1, 1.0f), static_cast<float>(expected));
    EXPECT_NEAR(1.0 / Pol5_0(cal.coef_invn, 1, 1, 1.0f), 4.94, 0.005);
}

TEST(RoundHalf, TruncatesBelowHalfEvenOnHalfUpAbove) {
    EXPECT_EQ(round_half(12.49f), 12);
    EXPECT_EQ(round_half(12.51f), 13);
    EXPECT_EQ(round_half(12.5f), 12);
    EXPECT_EQ(round_half(13.5f), 14);
    EXPECT_EQ(round_half(2.5f), 2);
    EXPECT_EQ(round_half(3.5f), 4);
    EXPECT_EQ(round_half(0.0f), 0);
    EXPECT_EQ(round_half(-0.6f), 0);
    EXPECT_EQ(round_half(-2.7f), -2);
    EXPECT_EQ(round_half(488.3757f), 488);
    EXPECT_EQ(round_half(884.9353f), 885);
}

TEST(RoundHalf, RefusesWhatSixteenBitsCannotHold) {
    EXPECT_EQ(round_half(32767.4f), 32767);
    EXPECT_EQ(round_half(-32768.9f), -32768);
    EXPECT_FALSE(round_half(32767.5f));
    EXPECT_FALSE(round_half(40000.0f));
    EXPECT_FALSE(round_half(-32769.0f));
    EXPECT_FALSE(round_half(std::numeric_limits<float>::infinity()));
    EXPECT_FALSE(round_half(std::numeric_limits<float>::quiet_NaN()));
}

} // namespace
} // namespace teravine
