// SPDX-License-Identifier: GPL-3.0-or-later
// The AD widths at which the line builders solve: the sweeps of the N and %S lines and
// the marches of the Nfp line along the k rows.
#pragma once

#include "model/calibration.h"
#include "model/polynomial.h"

#include <algorithm>
#include <cstdint>

namespace teravine {

// First AD widths of the sweeps; each pass adds kSweepStep before solving.
inline constexpr float kNSweepStart = 0.025f;
inline constexpr float kSSweepStart = 0.01f;
inline constexpr double kSweepStep = 0.025;

// Calls at(x) for x0 + step, x0 + 2 step, ... (the sum kept in single precision, the test
// before the step) up to the first width above range, or until at returns false.
template <class At> void for_each_sweep_width(float range, float x0, At at) {
    float x = x0;
    while (!(x > range)) {
        x = static_cast<float>(static_cast<double>(x) + kSweepStep);
        if (!at(x)) {
            return;
        }
    }
}

inline constexpr int kMarchSteps = 110; // AD widths 0.01 .. 1.10
inline constexpr int kMarches = 9;      // rows 5, 4, 4, 3, 3, 2, 2, 1 and 1 once more

inline float k_of_row(int row) {
    return kKRow[static_cast<std::size_t>(row)];
}

// March q (0..8) walks the mix of rows r - 1 and r with all weight on r (even q) or on
// r - 1 (odd q), r going from 5 down to 2; the last march repeats row 1.
inline InterpRecord march_rows(int q) {
    InterpRecord b;
    b.row_hi = static_cast<std::int16_t>(std::max(5 - q / 2, 2));
    b.row_lo = static_cast<std::int16_t>(b.row_hi - 1);
    b.frac = q + 1 >= kMarches ? 1.0f : static_cast<float>(q % 2);
    return b;
}

inline float march_x(int m) {
    return static_cast<float>(m * 0.01);
}

} // namespace teravine
