// SPDX-License-Identifier: GPL-3.0-or-later
// The diagram is calibrated on the 2θ scale of Cu Kα; patterns taken with another anode
// are carried over to it through the lattice spacing the angle stands for.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace teravine {

inline constexpr double kCuKAlpha1 = 1.540598; // ångström

// I(Kα2) / I(Kα1) of a tube's unfiltered Kα doublet, where a file states no ratio of its own.
inline constexpr double kAssumedAlpha2Ratio = 0.5;

// The Kα lines of the anodes laboratory tubes have, in ångström (Hölzer et al. 1997 for
// Cu, Co, Fe, Cr; Deslattes et al. 2003 for Mo and Ag).
struct AnodeLines {
    std::string_view symbol; // "Cu", "Co", "Fe", "Cr", "Mo", "Ag"
    double alpha1;
    double alpha2;
};

// Every anode known, Cu first: what a file that states no wavelength may be told.
std::span<const AnodeLines> known_anodes();

// The anode of that symbol, in any case; nothing for another.
std::optional<AnodeLines> anode_lines(std::string_view symbol);

// The symbol of the anode whose Kα1, Kα2 or their mean the wavelength is (within
// 0.005 Å); empty when none.
std::string anode_of(double wavelength);

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
