// SPDX-License-Identifier: GPL-3.0-or-later
// The bisection on a row-mixing weight that places a value between two rows: the weight
// starts at 1 and moves by 1/2, 1/4, ... toward the side the difference points to.
#pragma once

#include "model/polynomial.h"

#include <cmath>

namespace teravine {

// Cap on the bisection passes: inside the diagram 14 suffice.
inline constexpr int kMaxBisectionPasses = 64;

// Moves local.frac until |difference(local)| <= tolerance. With rising, a positive
// difference moves the weight up; otherwise a negative one does. Returns the number of
// passes run, or -1 when kMaxBisectionPasses did not suffice (a NaN difference never
// converges).
template <class Difference>
int bisect_weight(InterpRecord& local, bool rising, float tolerance, Difference difference) {
    float step = 0.5f;
    float diff = rising ? -1.0f : 1.0f; // the first pass moves the weight down
    int count = 0;
    do {
        if (++count > kMaxBisectionPasses) {
            return -1;
        }
        const bool up = rising ? diff > 0 : diff < 0;
        local.frac = up ? local.frac + step : local.frac - step;
        step = step / 2;
        diff = difference(local);
    } while (!(std::fabs(diff) <= tolerance));
    return count;
}

} // namespace teravine
