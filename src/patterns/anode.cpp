// SPDX-License-Identifier: GPL-3.0-or-later
#include "patterns/anode.h"

#include <cmath>
#include <numbers>

namespace teravine {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

} // namespace

bool is_copper(std::optional<double> wavelength) {
    // Kα1 1.5406, Kα2 1.5444 and the weighted mean 1.5418 all lie within this.
    return !wavelength || std::abs(*wavelength - 1.5425) < 0.005;
}

std::optional<double> carry_two_theta(double two_theta, double from_wavelength,
                                      double to_wavelength) {
    const double sine =
        std::sin(two_theta / 2 * kRadiansPerDegree) * to_wavelength / from_wavelength;
    if (!(std::abs(sine) < 1)) {
        return std::nullopt;
    }
    return 2 * std::asin(sine) / kRadiansPerDegree;
}

double width_to_copper(double two_theta, double wavelength) {
    const auto copper = carry_two_theta(two_theta, wavelength, kCuKAlpha1);
    if (!copper) {
        return NAN;
    }
    const double theta = two_theta / 2 * kRadiansPerDegree;
    const double theta_cu = *copper / 2 * kRadiansPerDegree;
    return (kCuKAlpha1 / std::cos(theta_cu)) / (wavelength / std::cos(theta));
}

} // namespace teravine
