// SPDX-License-Identifier: GPL-3.0-or-later
// Student's t for the intervals of a calibration: the factor that turns a standard
// uncertainty with few degrees of freedom into an interval of a given coverage.
#pragma once

namespace teravine {

// The two-sided quantile t with P(|T| ≤ t) = coverage (0 < coverage < 1) for `df` ≥ 1
// degrees of freedom: 12.71 for 95 % and one degree, 3.18 for three, 1.96 as df grows.
double student_t_quantile(double coverage, int df);

} // namespace teravine
