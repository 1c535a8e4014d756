// SPDX-License-Identifier: GPL-3.0-or-later
// The width polynomial, the mixing of two rows into a row of their own, and the rounding
// rule used for N, %S and Nfp.
#pragma once

#include "model/calibration.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace teravine {

// A position between two rows of a table; frac is the weight of row_lo.
struct InterpRecord {
    std::int16_t row_lo = 0;
    std::int16_t row_hi = 0;
    float frac = 0;
    float k = 0;
};

// One row of a table: the coefficient of x^p at index p (index 0 unused).
using CoefRow = std::array<float, 6>;

// The polynomial of one row at x. Every evaluation, of a table's row or of a mixed row,
// goes through this one expression, so a value worked out ahead is the very float the
// table gives.
inline float Pol5_0(const CoefRow& c, float x) {
    const double v = x;
    const double c1 = c[1], c2 = c[2], c3 = c[3], c4 = c[4], c5 = c[5];
    const double sum =
        ((c2 * v * v + c1 * v) + c3 * v * v * v) + c4 * v * v * v * v + c5 * v * v * v * v * v;
    return static_cast<float>(sum);
}

// (1 - frac) * hi + frac * lo, coefficient by coefficient.
inline CoefRow mix_rows(float frac, const CoefRow& lo, const CoefRow& hi) {
    CoefRow mixed{};
    const double weight_hi = 1.0 - static_cast<double>(frac);
    for (std::size_t p = 1; p <= 5; ++p) {
        mixed[p] = static_cast<float>(weight_hi * static_cast<double>(hi[p]) +
                                      static_cast<double>(frac) * lo[p]);
    }
    return mixed;
}

// Fifth-degree polynomial without constant term of row j of index i at x.
float Pol5_0(const CoefTable& table, std::int16_t i, std::int16_t j, float x);

// The row (1 - frac) * row_hi + frac * row_lo of index reich.
CoefRow interp_row(const InterpRecord& rec, const CoefTable& table, std::int16_t reich);

// Below one half truncates, above rounds up, exactly one half goes to the even
// neighbour; negative values truncate toward zero. Empty when x is not finite or the
// result does not fit 16 bits.
std::optional<std::int16_t> round_half(float x);

} // namespace teravine
