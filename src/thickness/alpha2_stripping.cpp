// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/alpha2_stripping.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace teravine {

std::vector<double> strip_alpha2(std::span<const double> two_theta, std::span<const double> counts,
                                 double alpha1, double alpha2, double ratio) {
    const std::size_t n = counts.size();
    std::vector<double> stripped(counts.begin(), counts.end());
    if (!(ratio > 0) || n == 0) {
        return stripped;
    }
    constexpr double half_degree = std::numbers::pi / 360;
    std::size_t below = 0; // the last point at or below the Kα1 angle sought
    for (std::size_t i = 0; i < n; ++i) {
        const double sine = std::sin(two_theta[i] * half_degree) * alpha1 / alpha2;
        const double from = std::asin(std::clamp(sine, -1.0, 1.0)) / half_degree;
        double earlier = 0;
        if (from <= two_theta[0]) {
            // Beyond the first point: the level there, of which Kα1 holds 1 / (1 + ratio).
            earlier = i == 0 ? counts[0] / (1 + ratio) : stripped[0];
        } else {
            while (below + 1 < i && two_theta[below + 1] <= from) {
                ++below;
            }
            const double t = (from - two_theta[below]) / (two_theta[below + 1] - two_theta[below]);
            const double next =
                below + 1 < i ? stripped[below + 1] : counts[below + 1] / (1 + ratio);
            earlier = stripped[below] + std::clamp(t, 0.0, 1.0) * (next - stripped[below]);
        }
        stripped[i] = counts[i] - ratio * earlier;
    }
    return stripped;
}

} // namespace teravine
