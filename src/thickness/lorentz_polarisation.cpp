// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/lorentz_polarisation.h"

#include <cmath>
#include <numbers>

namespace teravine {

double reciprocal_distance(double two_theta, double wavelength) {
    return 2 * std::sin(two_theta * std::numbers::pi / 360) / wavelength;
}

double oriented_lorentz_polarisation(double two_theta) {
    const double angle = two_theta * std::numbers::pi / 180;
    const double c = std::cos(angle);
    return (1 + c * c) / std::sin(angle);
}

} // namespace teravine
