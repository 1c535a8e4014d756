// SPDX-License-Identifier: GPL-3.0-or-later
// The two row solvers of the constant lines: at one AD width, the mix of two
// neighbouring rows of the 1/N table that gives a wanted N, or a wanted %S. They read
// the rows through a source of lines/row_values.h: the polynomials at x, or the tables
// of a sweep.
#pragma once

#include "lines/row_values.h"
#include "lines/sweeps.h"
#include "model/bisection.h"
#include "model/calibration.h"
#include "model/polynomial.h"
#include "model/solvers.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace teravine {

// Where a row solver put its target at one AD width.
struct RowSolution {
    InterpRecord rec; // row_lo, row_hi, the weight in N terms and k
    int passes = 0;   // bisection passes run
};

namespace row_solving {

// Rows r - 1 and r, all weight on r - 1.
inline InterpRecord bracket(std::int16_t r) {
    InterpRecord local;
    local.row_lo = static_cast<std::int16_t>(r - 1);
    local.row_hi = r;
    local.frac = 1;
    return local;
}

// k at the weight rec.frac (in N terms) between rec.row_lo and rec.row_hi.
inline float k_between(const InterpRecord& rec, float span) {
    return static_cast<float>(static_cast<double>(k_of_row(rec.row_lo)) +
                              (1.0 - static_cast<double>(rec.frac)) * span);
}

// A solution only when the bisection ended and its weight and k are numbers.
inline std::optional<RowSolution> hand_back(const InterpRecord& out, int count) {
    if (count < 0 || !std::isfinite(out.frac) || !std::isfinite(out.k)) {
        return std::nullopt;
    }
    return RowSolution{out, count};
}

} // namespace row_solving

// The mix at rows.x that gives N = n. Nothing when there is no point at this AD width
// (target outside rows 1..5, x not finite, or no convergence within
// kMaxBisectionPasses). The row search starts at row 2, so row 0 is never mixed.
template <class Rows> std::optional<RowSolution> solve_for_n(const Rows& rows, float n) {
    using namespace row_solving;
    const float t = static_cast<float>(1.0 / static_cast<double>(n));
    if (!(rows.inv_n(5) <= t && t <= rows.inv_n(1))) { // also refuses NaN
        return std::nullopt;
    }
    std::int16_t r = 2;
    while (r < 5 && t < rows.inv_n(r)) {
        ++r;
    }
    InterpRecord local = bracket(r);
    const int count = bisect_weight(local, true, 0.00001f, [&](const InterpRecord& at) {
        return static_cast<float>(static_cast<double>(t) - rows.mixed_inv_n(at));
    });
    InterpRecord out = local;
    if (count >= 0) { // only the last pass's weight is carried to N terms
        out.frac = rows.recip_weight_of(local);
        out.k = k_between(out, k_of_row(r) - k_of_row(r - 1));
    }
    return hand_back(out, count);
}

// The same for %S: s is %S as a fraction (k times 1/N).
template <class Rows> std::optional<RowSolution> solve_for_s(const Rows& rows, float s) {
    using namespace row_solving;
    if (!(s >= 0 && static_cast<double>(s) <= 3.0 * rows.inv_n(5))) { // also refuses NaN
        return std::nullopt;
    }
    std::int16_t r = 2;
    if (s > 0) {
        while (r < 5 &&
               !(static_cast<double>(s) <= static_cast<double>(rows.inv_n(r)) * k_of_row(r))) {
            ++r;
        }
    }
    InterpRecord local = bracket(r);
    const float span = k_of_row(r) - k_of_row(r - 1);
    InterpRecord out;
    const int count = bisect_weight(local, false, 0.000001f, [&](const InterpRecord& at) {
        const float y6 = rows.mixed_inv_n(at);
        out = at;
        out.frac = rows.recip_weight_of(at);
        const float kk = k_between(out, span);
        out.k = kk;
        return static_cast<float>(static_cast<double>(s) -
                                  static_cast<double>(kk) * static_cast<double>(y6));
    });
    return hand_back(out, count);
}

// The solvers on the polynomials of coef_invn at x.
inline std::optional<RowSolution> solve_row_for_n(const CoefTable& coef_invn, float x, float n,
                                                  std::int16_t reich) {
    return solve_for_n(PolynomialRows{coef_invn, nullptr, reich, x}, n);
}

inline std::optional<RowSolution> solve_row_for_s(const CoefTable& coef_invn, float x, float s,
                                                  std::int16_t reich) {
    return solve_for_s(PolynomialRows{coef_invn, nullptr, reich, x}, s);
}

} // namespace teravine
