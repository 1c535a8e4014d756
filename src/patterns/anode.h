// SPDX-License-Identifier: GPL-3.0-or-later
// The diagram is calibrated on the 2θ scale of Cu Kα; patterns taken with another anode
// are carried over to it through the lattice spacing the angle stands for.
#pragma once

#include <optional>

namespace teravine {

inline constexpr double kCuKAlpha1 = 1.540598; // ångström

// Whether a stated wavelength is Cu Kα (Kα1, Kα2 or their mean): none stated counts as Cu.
bool is_copper(std::optional<double> wavelength);

// The 2θ (degrees) of the same lattice spacing under the other wavelength; nothing when
// that spacing cannot diffract there.
std::optional<double> carry_two_theta(double two_theta, double from_wavelength,
                                      double to_wavelength);

// The factor that carries a width (°Δ2θ) at the peak's 2θ under `wavelength` over to
// the Cu Kα scale: the width scales with λ / cos θ.
double width_to_copper(double two_theta, double wavelength);

} // namespace teravine
