// SPDX-License-Identifier: GPL-3.0-or-later
// The Kα2 line taken out of a pattern, leaving the Kα1 pattern alone.
#pragma once

#include <span>
#include <vector>

namespace teravine {

// Rachinger's correction (1948, J. Sci. Instrum. 25, 254): the Kα2 line of a reflection at
// 2θ' lies at the 2θ where sin θ = sin θ' λ2 / λ1, at `ratio` of its Kα1 line, so from the
// low angles up I1(2θ) = I(2θ) - ratio · I1(2θ'), I1 at 2θ' interpolated between the points
// already stripped (below the first point it is taken as the first point's). A background
// comes out at 1 / (1 + ratio) of its height, as Kα1's share of it.
std::vector<double> strip_alpha2(std::span<const double> two_theta, std::span<const double> counts,
                                 double alpha1, double alpha2, double ratio);

} // namespace teravine
