// The two row solvers of the constant lines: at one AD width, the mix of two
// neighbouring rows of the 1/N table that gives a wanted N, or a wanted %S.
#pragma once

#include "model/calibration.h"
#include "model/polynomial.h"

#include <cstdint>

namespace teravine {

// Status 0: rec holds row_lo, row_hi, the weight in N terms and k at x; row 6 of
// coef_invn holds the row mix of the last pass. -1: no point at this AD width (target
// outside rows 1..5, x not finite, or no convergence within kMaxBisectionPasses);
// rec is left as it was. The row search starts at row 2, so row 0 is never mixed.
float solve_row_for_n(InterpRecord& rec, CoefTable& coef_invn, float x, float n, std::int16_t reich,
                      int* passes = nullptr);

// Same statuses for %S: s is %S as a fraction (k times 1/N).
float solve_row_for_s(InterpRecord& rec, CoefTable& coef_invn, float x, float s, std::int16_t reich,
                      int* passes = nullptr);

} // namespace teravine
