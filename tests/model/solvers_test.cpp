// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/solvers.h"
#include "text/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace teravine {
namespace {

TEST(FindK, WorkedExampleBetweenRowsThreeAndFour) {
    Calibration cal = make_calibration(1);
    InterpRecord rec;
    float y = 0.4f;
    int passes = -1;
    ASSERT_EQ(find_k(rec, cal.coef_eg, 0.5f, y, 1, &passes), kInside);
    EXPECT_EQ(passes, 11);
    EXPECT_EQ(rec.row_lo, 3);
    EXPECT_EQ(rec.row_hi, 4);
    EXPECT_EQ(rec.frac, 0.8286133f);
    EXPECT_EQ(rec.k, 1.1713867f);
    EXPECT_EQ(y, 0.4f);

    InterpRecord mix = rec;
    row_frac(mix, cal.coef_invn, 1, 0.5f);
    EXPECT_EQ(mix.frac, 0.7557886f);
    interp_row(mix, cal.coef_invn, 1);
    const float inv_n = Pol5_0(cal.coef_invn, 1, 6, 0.5f);
    EXPECT_EQ(number_text(inv_n), " .0416921"); // the figures are given to seven digits
    // N mixes with the same weight as the EG width.
    const double n3 = 1.0 / Pol5_0(cal.coef_invn, 1, 3, 0.5f);
    const double n4 = 1.0 / Pol5_0(cal.coef_invn, 1, 4, 0.5f);
    EXPECT_NEAR(1.0 / inv_n, rec.frac * n3 + (1 - rec.frac) * n4, 1e-3);

    recip_frac(mix, cal.coef_invn, 1, 0.5f);
    EXPECT_EQ(number_text(mix.frac), " .8286133");
}

TEST(FindK, AboveTheDiagonalMovesYOntoIt) {
    Calibration cal = make_calibration(1);
    InterpRecord rec{7, 8, 0.25f, 0, 9};
    float y = 0.6f;
    EXPECT_EQ(find_k(rec, cal.coef_eg, 0.5f, y, 1), kAboveDiagonal);
    EXPECT_EQ(y, 0.5f);
    EXPECT_EQ(rec.row_lo, 7);
    EXPECT_EQ(rec.k, 9.0f);
}

TEST(FindK, BelowTheLowestRowLeavesEverything) {
    Calibration cal = make_calibration(1);
    InterpRecord rec{7, 8, 0.25f, 0, 9};
    float y = 0.1f;
    EXPECT_EQ(find_k(rec, cal.coef_eg, 0.5f, y, 1), kOutside);
    EXPECT_EQ(y, 0.1f);
    EXPECT_EQ(rec.row_lo, 7);
    EXPECT_EQ(rec.frac, 0.25f);
}

TEST(FindK, RefusesWidthsNoSampleCanHave) {
    Calibration cal = make_calibration(3);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Pair {
        float x, y;
    };
    for (const Pair p : {Pair{0, 0}, Pair{-1, -1}, Pair{-0.5f, -0.6f}, Pair{nan, 0.3f},
                         Pair{0.3f, nan}, Pair{inf, inf}, Pair{inf, 0.3f}, Pair{0.3f, -inf}}) {
        InterpRecord rec{7, 8, 0.25f, 0, 9};
        float y = p.y;
        EXPECT_EQ(find_k(rec, cal.coef_eg, p.x, y, 3), kOutside) << p.x << " " << p.y;
        EXPECT_EQ(rec.row_lo, 7);
        EXPECT_EQ(rec.frac, 0.25f);
    }
}

TEST(FindK, HostileWidthsEndWithoutSpinning) {
    Calibration cal = make_calibration(1);
    for (float x : {1e3f, 1e10f, 1e30f, 3e38f, 1e-30f, 1e-45f}) {
        for (float y : {x, x * 0.999f, x * 0.5f, x * 0.1f, -x, 0.0f}) {
            InterpRecord rec;
            float yy = y;
            const float status = find_k(rec, cal.coef_eg, x, yy, 1);
            EXPECT_TRUE(status == kInside || status == kOutside || status == kAboveDiagonal);
            if (status == kInside) {
                EXPECT_TRUE(std::isfinite(rec.k));
                EXPECT_TRUE(std::isfinite(rec.frac));
            }
        }
    }
}

// row_frac and recip_frac undo each other over the whole diagram.
TEST(RowFrac, RoundTripsWithRecipFracInEveryReichweite) {
    for (std::int16_t reich : {1, 2, 3}) {
        Calibration cal = make_calibration(reich);
        for (int i = 1; i <= 20; ++i) {
            const float x = cal.range() * static_cast<float>(i) / 21.0f;
            for (std::int16_t lo = 1; lo <= 4; ++lo) {
                for (float f : {0.0f, 0.1f, 0.37f, 0.5f, 0.83f, 1.0f}) {
                    InterpRecord rec{lo, static_cast<std::int16_t>(lo + 1), f, 0, 0};
                    row_frac(rec, cal.coef_invn, reich, x);
                    recip_frac(rec, cal.coef_invn, reich, x);
                    EXPECT_NEAR(rec.frac, f, 2e-4) << reich << " " << x << " " << lo;
                    rec.frac = f;
                    recip_frac(rec, cal.coef_invn, reich, x);
                    row_frac(rec, cal.coef_invn, reich, x);
                    EXPECT_NEAR(rec.frac, f, 2e-4) << reich << " " << x << " " << lo;
                }
            }
        }
    }
}

} // namespace
} // namespace teravine
