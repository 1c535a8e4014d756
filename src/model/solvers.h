// SPDX-License-Identifier: GPL-3.0-or-later
// Placing a point between two constant-k rows, and carrying a row-mixing weight
// between the 1/N table and its reciprocal.
#pragma once

#include "model/bisection.h"
#include "model/calibration.h"
#include "model/polynomial.h"

#include <cstdint>

namespace teravine {

// Where a point lies against the rows of the EG-width table.
enum class Placement : std::int8_t {
    inside,         // between two rows: the place holds them, the weight and k
    above_diagonal, // above row 1 (or on it but below the lowest row)
    outside,        // below the lowest row, not finite, AD width not above 0, no convergence
};

// The place find_k gives a point (x, y).
struct KPlace {
    Placement where = Placement::outside;
    InterpRecord rec; // inside only: row_lo, row_hi, frac (the weight of row_lo) and k
    float eg = 0;     // y as the window keeps it afterwards: x above the diagonal, else y
    int passes = 0;   // bisection passes run (0 on the diagonal)

    bool inside() const { return where == Placement::inside; }
};

// The two rows of table around (x, y), the weight that mixes them to y at x, and k.
KPlace find_k(const CoefTable& table, float x, float y, std::int16_t reich);

// rec with its weight in N terms turned into the row-mixing weight that gives that N at x.
InterpRecord row_frac(const InterpRecord& rec, const CoefTable& table, std::int16_t reich, float x);

// The inverse of row_frac: rec with its row-mixing weight turned into the weight in
// reciprocal terms.
InterpRecord recip_frac(const InterpRecord& rec, const CoefTable& table, std::int16_t reich,
                        float x);

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
