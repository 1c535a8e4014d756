// The width polynomial, the mixing of two rows into the scratch row, and the rounding
// rule used for N, %S and Nfp.
#pragma once

#include "model/calibration.h"

#include <cstdint>
#include <optional>

namespace teravine {

// A position between two rows of a table; frac is the weight of row_lo.
struct InterpRecord {
    std::int16_t row_lo = 0;
    std::int16_t row_hi = 0;
    float frac = 0;
    float spare = 0;
    float k = 0;
};

// Fifth-degree polynomial without constant term of row j of index i at x.
float Pol5_0(const CoefTable& table, std::int16_t i, std::int16_t j, float x);

// Row 6 of index reich := (1 - frac) * row_hi + frac * row_lo.
void interp_row(const InterpRecord& rec, CoefTable& table, std::int16_t reich);

// Below one half truncates, above rounds up, exactly one half goes to the even
// neighbour; negative values truncate toward zero. Empty when x is not finite or the
// result does not fit 16 bits.
std::optional<std::int16_t> round_half(float x);

} // namespace teravine
