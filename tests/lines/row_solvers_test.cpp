// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines/row_solvers.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace teravine {
namespace {

using Solver = std::function<float(InterpRecord&, Calibration&, float x, float target, int*)>;

const Solver kForN = [](InterpRecord& rec, Calibration& cal, float x, float n, int* passes) {
    return solve_row_for_n(rec, cal.coef_invn, x, n, 1, passes);
};
const Solver kForS = [](InterpRecord& rec, Calibration& cal, float x, float s, int* passes) {
    return solve_row_for_s(rec, cal.coef_invn, x, s, 1, passes);
};

double inv_n(const Calibration& cal, std::int16_t row, float x) {
    return Pol5_0(cal.coef_invn, 1, row, x);
}

// N, mixed linearly with the record's weight, and %S = k / N at it.
TEST(RowSolvers, PlaceTheTargetBetweenTwoRowsWithAWeightInNTerms) {
    Calibration cal = make_calibration(1);
    for (const bool for_n : {true, false}) {
        InterpRecord rec;
        int passes = -1;
        ASSERT_EQ((for_n ? kForN : kForS)(rec, cal, 0.5f, for_n ? 30 : 0.04f, &passes), kInside);
        EXPECT_GT(passes, 0);
        EXPECT_EQ(rec.row_hi, rec.row_lo + 1);
        EXPECT_EQ(rec.spare, 0);
        const double n = rec.frac / inv_n(cal, rec.row_lo, 0.5f) +
                         (1.0 - rec.frac) / inv_n(cal, rec.row_hi, 0.5f);
        const float lo = kKRow[static_cast<std::size_t>(rec.row_lo)];
        EXPECT_FLOAT_EQ(rec.k,
                        lo + (1 - rec.frac) * (kKRow[static_cast<std::size_t>(rec.row_hi)] - lo));
        if (for_n) {
            EXPECT_NEAR(n, 30.0, 0.05);
            EXPECT_NEAR(inv_n(cal, 6, 0.5f), 1.0 / 30, 1e-5); // row 6: the last pass's mix
        } else {
            EXPECT_NEAR(rec.k / n, 0.04, 1e-4);
        }
    }
}

// No point: the record is left as it was. Far outside the diagram (x = 10) no single
// comes within the tolerance and the bisection stops at its cap.
TEST(RowSolvers, RefusalsLeaveTheRecordAlone) {
    Calibration cal = make_calibration(1);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float far_n =
        static_cast<float>(1.0 / static_cast<float>(inv_n(cal, 5, 10) +
                                                    (inv_n(cal, 1, 10) - inv_n(cal, 5, 10)) * 0.1));
    // clang-format off
    const struct {
        const Solver& solve;
        float x, target;
    } cases[] = {
        {kForN, nan, 20}, {kForN, inf, 20}, {kForN, -inf, 20}, {kForN, 1e10f, 20}, {kForN, 0, 20},
        {kForN, -0.5f, 20}, {kForN, 10, far_n}, {kForS, nan, 0.02f}, {kForS, inf, 0.02f},
        {kForS, 1e30f, 0.02f}, {kForS, -0.5f, 0.02f}, {kForS, 0, 0}, {kForS, 0.5f, nan},
        {kForS, 0.5f, inf}, {kForS, 10, 1.5f * static_cast<float>(inv_n(cal, 5, 10))}
    };
    // clang-format on
    for (const auto& c : cases) {
        InterpRecord rec{7, 9, 0.25f, 0.5f, 42};
        EXPECT_EQ(c.solve(rec, cal, c.x, c.target, nullptr), kOutside) << c.x << " " << c.target;
        EXPECT_TRUE(rec.row_lo == 7 && rec.row_hi == 9 && rec.frac == 0.25f && rec.spare == 0.5f &&
                    rec.k == 42)
            << c.x << " " << c.target;
    }
}

} // namespace
} // namespace teravine
