// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/calibration.h"
#include "model/polynomial.h"

#include <gtest/gtest.h>

#include <limits>

namespace teravine {
namespace {

TEST(LoadReich, WindowAndKCurvesOfEachReichweite) {
    for (std::int16_t reich : {1, 2, 3}) {
        Calibration cal;
        init_calibration(cal);
        cal.reich = reich;
        WorldWindow w;
        load_reich(cal, w);
        const float range = reich == 3 ? 0.9f : 1.1f;
        EXPECT_EQ(w.xmax, range);
        EXPECT_EQ(w.ymax, range);
        EXPECT_EQ(w.nx, reich == 3 ? 9.0f : 11.0f);
        EXPECT_EQ(w.xunit, range / w.nx);
        EXPECT_EQ(w.xminor, 5);
        EXPECT_EQ(cal.k_curve[reich == 3 ? 90 : 110][1][3], range);
    }
    // make_calibration loads R0 first, so R3 keeps the k curves up to 1.1.
    const Calibration r3 = make_calibration(3);
    EXPECT_EQ(r3.k_curve[110][1][5], 1.1f);
    EXPECT_NE(r3.k_curve[110][2][5], 0.0f);
}

TEST(Pol5_0, SumsInDoubleFromTheSingles) {
    const Calibration cal = make_calibration(1);
    // 0.1042 + 0.1487 + 0.2428 - 0.5353 + 0.2421: 1/N of k = 0 at AD 1.
    const double expected = ((0.1487f + static_cast<double>(0.1042f)) + 0.2428f) +
                            static_cast<double>(-0.5353f) + 0.2421f;
    EXPECT_EQ(Pol5_0(cal.coef_invn, 1, 1, 1.0f), static_cast<float>(expected));
}

// Truncates below .5, half to even on .5, up above; refuses what 16 bits cannot hold.
TEST(RoundHalf, HalfToEvenWithinSixteenBits) {
    // clang-format off
    const std::pair<float, int> cases[] = {
        {12.49f, 12}, {12.51f, 13}, {12.5f, 12}, {13.5f, 14}, {2.5f, 2}, {-0.6f, 0}, {-2.7f, -2},
        {884.9353f, 885}, {32767.4f, 32767}, {-32768.9f, -32768}
    };
    // clang-format on
    for (const auto& [value, rounded] : cases) {
        EXPECT_EQ(round_half(value), rounded) << value;
    }
    for (float beyond : {32767.5f, -32769.0f, std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_FALSE(round_half(beyond)) << beyond;
    }
}

} // namespace
} // namespace teravine
