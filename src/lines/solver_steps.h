// Small steps shared by the row solvers and their tabled twins, so both round alike.
#pragma once

#include "model/calibration.h"
#include "model/polynomial.h"

#include <cmath>
#include <cstdint>

namespace teravine::solver_steps {

inline float k_of_row(int row) {
    return kKRow[static_cast<std::size_t>(row)];
}

// k at the weight rec.frac (in N terms) between rec.row_lo and rec.row_hi.
inline float k_between(const InterpRecord& rec, float span) {
    return static_cast<float>(static_cast<double>(k_of_row(rec.row_lo)) +
                              (1.0 - static_cast<double>(rec.frac)) * span);
}

// Rows r - 1 and r, all weight on r - 1.
inline InterpRecord bracket(std::int16_t r) {
    InterpRecord local;
    local.row_lo = static_cast<std::int16_t>(r - 1);
    local.row_hi = r;
    local.frac = 1;
    local.spare = 0;
    local.k = 0;
    return local;
}

// frac + step or frac - step, stored in single precision.
inline float moved(float frac, float step, bool up) {
    const double f = frac;
    return static_cast<float>(up ? f + step : f - step);
}

// A record handed back only when its weight and k are numbers.
inline bool usable(const InterpRecord& rec) {
    return std::isfinite(rec.frac) && std::isfinite(rec.k);
}

} // namespace teravine::solver_steps
