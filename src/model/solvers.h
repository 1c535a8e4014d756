// SPDX-License-Identifier: GPL-3.0-or-later
// Placing a point between two constant-k rows, and carrying a row-mixing weight
// between the 1/N table and its reciprocal.
#pragma once

#include "model/bisection.h"
#include "model/calibration.h"
#include "model/polynomial.h"

namespace teravine {

inline constexpr float kInside = 0;
inline constexpr float kAboveDiagonal = 1;
inline constexpr float kOutside = -1;

// Status 0: rec filled and row 6 of table holds the mixed row through the point.
// +1: above the diagonal, y set to x. -1: below the lowest row, not finite, AD width
// not above 0, or no convergence; rec and y untouched.
// passes, when given, receives the number of bisection passes run.
float find_k(InterpRecord& rec, CoefTable& table, float x, float& y, std::int16_t reich,
             int* passes = nullptr);

// Turns a weight in N terms into the row-mixing weight that gives that N at x.
void row_frac(InterpRecord& rec, const CoefTable& table, std::int16_t reich, float x);

// The inverse of row_frac: a row-mixing weight into the weight in reciprocal terms.
void recip_frac(InterpRecord& rec, const CoefTable& table, std::int16_t reich, float x);

// The two steps of recip_frac, for callers that know the rows' values at x already:
// 1 / (a row's value), kept in single precision ...
inline float single_reciprocal(double value) {
    return static_cast<float>(1.0 / value);
}

// ... and the weight in reciprocal terms of frac between rows whose reciprocals are
// r_lo and r_hi.
inline float recip_weight(float frac, float r_lo, float r_hi) {
    const double f = frac;
    const double r1 = r_lo;
    const double r2 = r_hi;
    const double m = static_cast<float>((1.0 - f) / r2 + f / r1);
    const double c = static_cast<float>(1.0 / m);
    return static_cast<float>((c - r2) / (r1 - r2));
}

} // namespace teravine
