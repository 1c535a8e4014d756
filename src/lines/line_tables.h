// SPDX-License-Identifier: GPL-3.0-or-later
// What the line builders evaluate again and again at the same AD widths, worked out once
// per Reichweite: the rows of the 1/N table at every width of the N and %S sweeps, and
// every step of the Nfp march. The values are the very floats the builders compute.
#pragma once

#include "lines/sweeps.h"
#include "model/calibration.h"
#include "model/polynomial.h"

#include <array>
#include <cstdint>
#include <vector>

namespace teravine {

// One AD width of a sweep with the rows of coef_invn there.
struct SweepColumn {
    float x = 0;
    std::array<float, 6> inv_n{}; // Pol5_0 of rows 1..5 at x (index 0 unused)
    std::array<float, 6> recip{}; // 1 / inv_n in single precision, as recip_frac forms it
};

// One step m of one Nfp march: what the builder compares with u, and the point it stores.
struct MarchStep {
    float x = 0;  // m * 0.01
    double h = 0; // 1/Nfp of the model there; the point is taken where u - h < 0
    float eg = 0; // EG width at x with the march's weight carried to coef_eg
};

struct LineTables {
    std::int16_t reich = 0;             // 0: no tables; the builders then compute everything
    float range = 0;                    // iw_range the sweeps were laid out for
    std::array<CoefRow, 6> eg_rows{};   // rows 0..5 of coef_eg under reich
    std::array<CoefRow, 6> invn_rows{}; // rows 0..5 of coef_invn under reich
    std::vector<SweepColumn> n_sweep;   // AD widths 0.05, 0.075, ... of build_const_n_line
    std::vector<SweepColumn> s_sweep;   // AD widths 0.035, 0.06, ... of build_const_s_line
    std::array<std::array<MarchStep, kMarchSteps + 1>, kMarches> fp_march{}; // steps 1..110

    // True when these tables were made from cal as it stands: same Reichweite, same
    // axis range, same coefficient rows.
    bool fit(const Calibration& cal) const;
};

// The tables of cal.reich; cal itself is left as it is.
LineTables make_line_tables(const Calibration& cal);

} // namespace teravine
