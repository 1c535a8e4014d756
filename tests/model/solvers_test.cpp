// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/solvers.h"
#include "text/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace teravine {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

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

    InterpRecord mix = rec;
    row_frac(mix, cal.coef_invn, 1, 0.5f);
    EXPECT_EQ(mix.frac, 0.7557886f);
    interp_row(mix, cal.coef_invn, 1);
    EXPECT_EQ(number_text(Pol5_0(cal.coef_invn, 1, 6, 0.5f)), " .0416921");
    recip_frac(mix, cal.coef_invn, 1, 0.5f);
    EXPECT_EQ(number_text(mix.frac), " .8286133");
}

// Outside the model the record is left alone; above the diagonal y moves onto it.
TEST(FindK, PointsOutsideTheModel) {
    const struct {
        std::int16_t reich;
        float x, y, status, y_after;
    } cases[] = {{1, 0.5f, 0.6f, kAboveDiagonal, 0.5f},
                 {1, 0.5f, 0.1f, kOutside, 0.1f},
                 {3, 0, 0, kOutside, 0},
                 {3, -0.5f, -0.6f, kOutside, -0.6f},
                 {3, kNan, 0.3f, kOutside, 0.3f},
                 {3, 0.3f, -kInf, kOutside, -kInf},
                 {3, kInf, 0.3f, kOutside, 0.3f}};
    for (const auto& c : cases) {
        Calibration cal = make_calibration(c.reich);
        InterpRecord rec{7, 8, 0.25f, 0, 9};
        float y = c.y;
        EXPECT_EQ(find_k(rec, cal.coef_eg, c.x, y, c.reich), c.status) << c.x << " " << c.y;
        EXPECT_EQ(y, c.y_after);
        EXPECT_EQ(rec.row_lo, 7);
        EXPECT_EQ(rec.frac, 0.25f);
    }
}

TEST(FindK, HostileWidthsEndWithoutSpinning) {
    Calibration cal = make_calibration(1);
    for (float x : {1e3f, 1e10f, 3e38f, 1e-30f, 1e-45f}) {
        for (float y : {x, x * 0.999f, x * 0.1f, -x}) {
            InterpRecord rec;
            float yy = y;
            if (find_k(rec, cal.coef_eg, x, yy, 1) == kInside) {
                EXPECT_TRUE(std::isfinite(rec.k) && std::isfinite(rec.frac)) << x << " " << y;
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
                for (float f : {0.0f, 0.1f, 0.37f, 0.83f, 1.0f}) {
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
