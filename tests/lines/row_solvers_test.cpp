// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines/row_solvers.h"
#include "model/solvers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace teravine {
namespace {

float inv_n(const Calibration& cal, std::int16_t row, float x) {
    return Pol5_0(cal.coef_invn, cal.reich, row, x);
}

// A record that no solver would write, to see that a refusal leaves it alone.
InterpRecord marker() {
    InterpRecord rec;
    rec.row_lo = 7;
    rec.row_hi = 9;
    rec.frac = 0.25f;
    rec.spare = 0.5f;
    rec.k = 42;
    return rec;
}

void expect_untouched(const InterpRecord& rec) {
    EXPECT_EQ(rec.row_lo, 7);
    EXPECT_EQ(rec.row_hi, 9);
    EXPECT_EQ(rec.frac, 0.25f);
    EXPECT_EQ(rec.spare, 0.5f);
    EXPECT_EQ(rec.k, 42);
}

// 1/N of the rows of rec mixed with rec.frac as a weight in N terms.
double n_of_record(const Calibration& cal, const InterpRecord& rec, float x) {
    const double n_lo = 1.0 / inv_n(cal, rec.row_lo, x);
    const double n_hi = 1.0 / inv_n(cal, rec.row_hi, x);
    return rec.frac * n_lo + (1.0 - rec.frac) * n_hi;
}

TEST(SolveRowForN, PlacesTheTargetBetweenTwoRows) {
    Calibration cal = make_calibration(1);
    InterpRecord rec;
    int passes = -1;
    ASSERT_EQ(solve_row_for_n(rec, cal.coef_invn, 0.5f, 30, 1, &passes), kInside);
    EXPECT_GT(passes, 0);
    EXPECT_LE(passes, 30);
    EXPECT_EQ(rec.row_hi, rec.row_lo + 1);
    EXPECT_GE(rec.row_lo, 1);
    EXPECT_LE(rec.row_hi, 5);
    EXPECT_EQ(rec.spare, 0);
    // The record's weight is in N terms: N mixes linearly with it.
    EXPECT_NEAR(n_of_record(cal, rec, 0.5f), 30.0, 0.05);
    // k follows the same weight.
    const float lo = kKRow[static_cast<std::size_t>(rec.row_lo)];
    const float hi = kKRow[static_cast<std::size_t>(rec.row_hi)];
    EXPECT_FLOAT_EQ(rec.k, lo + (1 - rec.frac) * (hi - lo));
    // Row 6 holds the row mix of the last pass, whose 1/N is the target.
    EXPECT_NEAR(inv_n(cal, 6, 0.5f), 1.0f / 30, 1e-5);
}

TEST(SolveRowForN, HostileWidthsEndWithoutAPoint) {
    Calibration cal = make_calibration(1);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float x : {nan, inf, -inf, 1e30f, 1e10f, 0.0f, -0.5f}) {
        InterpRecord rec = marker();
        EXPECT_EQ(solve_row_for_n(rec, cal.coef_invn, x, 20, 1), kOutside) << x;
        expect_untouched(rec);
    }
}

TEST(SolveRowForN, BisectionIsCappedWhereSinglePrecisionCannotReachTheTarget) {
    // Far outside the diagram the rows' 1/N are in the thousands: no single-precision
    // mix comes within 1E-05 of this target, and the bisection stops at its cap.
    Calibration cal = make_calibration(1);
    const float x = 10;
    const float y1 = inv_n(cal, 1, x);
    const float y5 = inv_n(cal, 5, x);
    const auto t = static_cast<float>(y5 + (y1 - static_cast<double>(y5)) * 0.1);
    const auto n = static_cast<float>(1.0 / t);
    InterpRecord rec = marker();
    EXPECT_EQ(solve_row_for_n(rec, cal.coef_invn, x, n, 1), kOutside);
    expect_untouched(rec);
}

TEST(SolveRowForS, PlacesTheTargetBetweenTwoRows) {
    Calibration cal = make_calibration(1);
    InterpRecord rec;
    int passes = -1;
    ASSERT_EQ(solve_row_for_s(rec, cal.coef_invn, 0.5f, 0.04f, 1, &passes), kInside);
    EXPECT_GT(passes, 0);
    EXPECT_LE(passes, 40);
    EXPECT_EQ(rec.row_hi, rec.row_lo + 1);
    EXPECT_EQ(rec.spare, 0);
    // %S = k / N at the record's weight.
    EXPECT_NEAR(rec.k / n_of_record(cal, rec, 0.5f), 0.04, 1e-4);
}

TEST(SolveRowForS, HostileInputEndsWithoutAPoint) {
    Calibration cal = make_calibration(1);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float x : {nan, inf, -inf, 1e30f, 0.0f, -0.5f}) {
        InterpRecord rec = marker();
        EXPECT_EQ(solve_row_for_s(rec, cal.coef_invn, x, 0.02f, 1), kOutside) << x;
        expect_untouched(rec);
    }
    // S = 0 at AD 0 mixes rows whose values are all 0 there.
    InterpRecord rec = marker();
    EXPECT_EQ(solve_row_for_s(rec, cal.coef_invn, 0.0f, 0.0f, 1), kOutside);
    expect_untouched(rec);
    for (float s : {nan, inf}) {
        rec = marker();
        EXPECT_EQ(solve_row_for_s(rec, cal.coef_invn, 0.5f, s, 1), kOutside) << s;
        expect_untouched(rec);
    }
    // Far outside the diagram single precision cannot come within 1E-06: capped.
    const float x = 10;
    rec = marker();
    EXPECT_EQ(solve_row_for_s(rec, cal.coef_invn, x, 1.5f * inv_n(cal, 5, x), 1), kOutside);
    expect_untouched(rec);
}

} // namespace
} // namespace teravine
