// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines/line_builders.h"
#include "lines/row_solvers.h"
#include "model/solvers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace teravine {
namespace {

// The AD widths a sweep evaluates: x0 + 0.025, accumulated in single precision,
// up to the first value above the range.
std::vector<float> sweep_widths(float x0, float range) {
    std::vector<float> widths;
    float x = x0;
    while (!(x > range)) {
        x = static_cast<float>(static_cast<double>(x) + 0.025);
        widths.push_back(x);
    }
    return widths;
}

bool is_sweep_width(const std::vector<float>& widths, float x) {
    return std::find(widths.begin(), widths.end(), x) != widths.end();
}

TEST(BuildConstNLine, SevenStartsWhereTheTargetEntersTheModel) {
    Calibration cal = make_calibration(1);
    Line line;
    build_const_n_line(cal, 7, line);
    ASSERT_GT(line.count, 0);
    const std::vector<float> widths = sweep_widths(kNSweepStart, cal.range());
    // The first stored point is the first evaluated width the solver accepts: 0.725.
    EXPECT_NEAR(line.point(1).ad, 0.725, 1e-6);
    EXPECT_TRUE(is_sweep_width(widths, line.point(1).ad));
    InterpRecord rec;
    for (float x : widths) {
        if (x >= line.point(1).ad) {
            break;
        }
        EXPECT_EQ(solve_row_for_n(rec, cal.coef_invn, x, 7, 1), kOutside) << x;
    }
}

TEST(BuildConstNLine, EveryPointIdentifiesBackToItsN) {
    // Identified as a click would identify it (find_k, row_frac, row 6 of coef_invn),
    // each point gives back the line's N: 1/N within the solvers' 1E-05 tolerances.
    int identified = 0;
    for (std::int16_t reich : {1, 2, 3}) {
        Calibration cal = make_calibration(reich);
        for (int n : {7, 10, 14, 20, 30, 40, 60, 80, 120, 200}) {
            Line line;
            build_const_n_line(cal, static_cast<std::int16_t>(n), line);
            for (int j = 1; j <= line.count; ++j) {
                const LinePoint p = line.point(j);
                InterpRecord located;
                float eg = p.eg;
                if (find_k(located, cal.coef_eg, p.ad, eg, reich) != kInside) {
                    // Only where the k = 3 curve of coef_eg crosses above the k = 2 curve
                    // (R3 at small widths) does a point between them fall outside find_k.
                    EXPECT_GT(Pol5_0(cal.coef_eg, reich, 5, p.ad),
                              Pol5_0(cal.coef_eg, reich, 4, p.ad))
                        << "R " << reich << " N " << n << " point " << j;
                    continue;
                }
                ++identified;
                InterpRecord mix = located;
                row_frac(mix, cal.coef_invn, reich, p.ad);
                interp_row(mix, cal.coef_invn, reich);
                const double inv = Pol5_0(cal.coef_invn, reich, 6, p.ad);
                EXPECT_NEAR(inv, 1.0 / n, 2e-5)
                    << "R " << reich << " N " << n << " point " << j << " AD " << p.ad;
            }
        }
    }
    EXPECT_GT(identified, 400);
}

TEST(BuildConstSLine, EveryPointHasItsPercentS) {
    Calibration cal = make_calibration(1);
    Line line;
    build_const_s_line(cal, 0.04f, line);
    ASSERT_GT(line.count, 10);
    for (int j = 1; j <= line.count; ++j) {
        const LinePoint p = line.point(j);
        InterpRecord located;
        float eg = p.eg;
        ASSERT_EQ(find_k(located, cal.coef_eg, p.ad, eg, 1), kInside) << j;
        InterpRecord mix = located;
        row_frac(mix, cal.coef_invn, 1, p.ad);
        interp_row(mix, cal.coef_invn, 1);
        const double s = located.k * Pol5_0(cal.coef_invn, 1, 6, p.ad);
        EXPECT_NEAR(s, 0.04, 2e-4) << j << " AD " << p.ad;
    }
}

TEST(BuildConstLine, PointsAreCappedAtTheStoreCapacity) {
    // A range far beyond the diagram would give more points than a store holds.
    Calibration cal = make_calibration(1);
    cal.iw_range[1] = 100;
    Line line;
    build_const_s_line(cal, 0.0f, line);
    EXPECT_EQ(line.count, kLineCapacity);
    EXPECT_EQ(line.points.size(), static_cast<std::size_t>(kLineCapacity));
    build_const_n_line(cal, 7, line);
    EXPECT_LE(line.count, kLineCapacity);
    EXPECT_EQ(line.points.size(), static_cast<std::size_t>(line.count));
}

// The k row on whose EG curve a point lies.
int row_of(const Calibration& cal, const LinePoint& p) {
    for (std::int16_t r = 1; r <= 5; ++r) {
        if (std::abs(Pol5_0(cal.coef_eg, cal.reich, r, p.ad) - p.eg) <= 1e-6f) {
            return r;
        }
    }
    return 0;
}

TEST(BuildConstFpLine, MarchVisitsRowsFiveToOneAndLeavesOutTheLastPoint) {
    Calibration cal = make_calibration(1);
    Line line;
    build_const_fp_line(cal, 0.0142857f, line); // Nfp = 70
    EXPECT_EQ(line.count, 8);
    ASSERT_EQ(line.points.size(), 9U);
    const std::vector<int> expected_rows{5, 4, 4, 3, 3, 2, 2, 1, 1};
    for (int j = 1; j <= 9; ++j) {
        EXPECT_EQ(row_of(cal, line.point(j)), expected_rows[static_cast<std::size_t>(j - 1)])
            << "point " << j;
    }
    EXPECT_EQ(line.point(2).ad, line.point(3).ad);
    EXPECT_EQ(line.point(8).ad, line.point(9).ad);
    EXPECT_EQ(line.point(8).eg, line.point(9).eg);
    EXPECT_EQ(line.point(9).ad, line.point(9).eg); // row 1 is the diagonal
}

} // namespace
} // namespace teravine
