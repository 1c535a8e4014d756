// SPDX-License-Identifier: GPL-3.0-or-later
// The calibration, its rounding, and the solvers that place a point between two rows.
#include "model/solvers.h"
#include "text/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace teravine {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

// R3 is loaded after R0, as the window does, so its k curves keep their points to 1.1.
// The R3 window: 0.9 on both axes in 9 intervals of 0.1.
TEST(MakeCalibration, R3HasANineUnitWindowAndFullKCurves) {
    WorldWindow w;
    const Calibration r3 = make_calibration(3, &w);
    EXPECT_EQ(w.xmax, 0.9f);
    EXPECT_EQ(w.nx, 9.0f);
    EXPECT_EQ(w.xunit, 0.9f / 9);
    EXPECT_EQ(r3.k_curve[110][1][5], 1.1f);
    EXPECT_NE(r3.k_curve[110][2][5], 0.0f);
}

// Summed in double from the singles, power by power, and only the sum kept single.
TEST(Pol5_0, SumsInDoubleFromTheSingles) {
    const Calibration cal = make_calibration(1);
    for (std::int16_t row = 1; row <= 5; ++row) {
        const auto& c = cal.coef_invn[1][static_cast<std::size_t>(row)];
        for (int i = 1; i <= 110; ++i) {
            const float x = static_cast<float>(i / 100.0);
            const double v = x, sum = ((c[2] * v * v + c[1] * v) + c[3] * v * v * v) +
                                      c[4] * v * v * v * v + c[5] * v * v * v * v * v;
            EXPECT_EQ(Pol5_0(cal.coef_invn, 1, row, x), static_cast<float>(sum)) << row << " " << x;
        }
    }
}

// Truncates below .5, half to even on .5, up above; refuses what 16 bits cannot hold.
// 884.9353 is 10000 / Nfp of the README's worked example before rounding (fp_pct 8.85).
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
    for (float beyond : {32767.5f, -32769.0f, kInf, kNan}) {
        EXPECT_FALSE(round_half(beyond)) << beyond;
    }
}

// The worked example of the README (R0, AD 0.5, EG 0.4): rows 3 and 4 (k = 1 and 2) after
// 11 passes; 1/N = 0.0416921 is 0.8286133 / 21.877 + 0.1713867 / 34.177 (the N of rows 3
// and 4 at 0.5, worked out by hand from the R0 1/N table) to 7 digits.
TEST(FindK, WorkedExampleBetweenRowsThreeAndFour) {
    const Calibration cal = make_calibration(1);
    const KPlace place = find_k(cal.coef_eg, 0.5f, 0.4f, 1);
    ASSERT_TRUE(place.inside());
    EXPECT_EQ(place.passes, 11);
    EXPECT_EQ(place.eg, 0.4f);
    const InterpRecord& rec = place.rec;
    EXPECT_EQ(rec.row_lo, 3);
    EXPECT_EQ(rec.frac, 0.8286133f);
    EXPECT_EQ(rec.k, 1.1713867f);
    const InterpRecord carried = row_frac(rec, cal.coef_invn, 1, 0.5f);
    EXPECT_EQ(carried.frac, 0.7557886f);
    EXPECT_EQ(number_text(Pol5_0(interp_row(carried, cal.coef_invn, 1), 0.5f)), " .0416921");
    EXPECT_EQ(number_text(recip_frac(carried, cal.coef_invn, 1, 0.5f).frac), " .8286133");
}

// The mixed row is the weighted sum of the two rows, coefficient by coefficient: all of
// row_lo at weight 1, all of row_hi at weight 0.
TEST(InterpRow, WeightOneIsRowLoAndZeroIsRowHi) {
    const Calibration cal = make_calibration(2);
    for (std::int16_t lo = 1; lo <= 4; ++lo) {
        const auto hi = static_cast<std::int16_t>(lo + 1);
        EXPECT_EQ(interp_row({lo, hi, 1, 0}, cal.coef_eg, 2), cal.coef_eg[2][lo]);
        EXPECT_EQ(interp_row({lo, hi, 0, 0}, cal.coef_eg, 2), cal.coef_eg[2][hi]);
    }
}

// Outside the model no rows come back; above the diagonal the EG width moves onto it.
// Huge and tiny widths end without spinning.
TEST(FindK, PointsOutsideTheModel) {
    // clang-format off
    const struct { std::int16_t reich; float x, y; Placement where; float y_after; } cases[] = {
        {1, 0.5f, 0.6f, Placement::above_diagonal, 0.5f}, {1, 0.5f, 0.1f, Placement::outside, 0.1f},
        {3, 0, 0, Placement::outside, 0}, {3, -0.5f, -0.6f, Placement::outside, -0.6f},
        {3, kNan, 0.3f, Placement::outside, 0.3f}, {3, 0.3f, -kInf, Placement::outside, -kInf},
        {3, kInf, 0.3f, Placement::outside, 0.3f}
    };
    // clang-format on
    for (const auto& c : cases) {
        const Calibration cal = make_calibration(c.reich);
        const KPlace place = find_k(cal.coef_eg, c.x, c.y, c.reich);
        EXPECT_EQ(place.where, c.where) << c.x << " " << c.y;
        EXPECT_EQ(place.eg, c.y_after);
        EXPECT_TRUE(place.rec.row_lo == 0 && place.rec.frac == 0);
    }
    const Calibration cal = make_calibration(1);
    for (float x : {1e3f, 1e10f, 3e38f, 1e-30f, 1e-45f}) {
        for (float y : {x, x * 0.999f, x * 0.1f, -x}) {
            const KPlace place = find_k(cal.coef_eg, x, y, 1);
            if (place.inside()) {
                EXPECT_TRUE(std::isfinite(place.rec.k) && std::isfinite(place.rec.frac))
                    << x << " " << y;
            }
        }
    }
}

// row_frac and recip_frac undo each other over the whole diagram.
TEST(RowFrac, RoundTripsWithRecipFracInEveryReichweite) {
    for (std::int16_t reich : {1, 2, 3}) {
        const Calibration cal = make_calibration(reich);
        for (int i = 1; i <= 20; ++i) {
            const float x = cal.range() * static_cast<float>(i) / 21.0f;
            for (std::int16_t lo = 1; lo <= 4; ++lo) {
                for (float f : {0.0f, 0.1f, 0.37f, 0.83f, 1.0f}) {
                    const InterpRecord at{lo, static_cast<std::int16_t>(lo + 1), f, 0};
                    const InterpRecord there =
                        recip_frac(row_frac(at, cal.coef_invn, reich, x), cal.coef_invn, reich, x);
                    const InterpRecord back =
                        row_frac(recip_frac(at, cal.coef_invn, reich, x), cal.coef_invn, reich, x);
                    EXPECT_NEAR(there.frac, f, 2e-4) << reich << " " << x << " " << lo;
                    EXPECT_NEAR(back.frac, f, 2e-4) << reich << " " << x << " " << lo;
                }
            }
        }
    }
}

} // namespace
} // namespace teravine
