// SPDX-License-Identifier: GPL-3.0-or-later
// The X-ray scattering factors of the atoms clay layers are made of, as functions of
// s = 2 sin θ / λ.
#pragma once

namespace teravine {

enum class Element { H, C, O, Mg, Al, Si, K, Ca };

// f0 of the neutral atom, electrons, for s in Å⁻¹: the four Gaussians and the constant of
// International Tables for Crystallography, Vol. C (1992), Table 6.1.1.4 (the Cromer–Mann
// coefficients), f0 = c + Σ a_i exp(-b_i (s/2)²).
double scattering_factor(Element element, double s);

} // namespace teravine
