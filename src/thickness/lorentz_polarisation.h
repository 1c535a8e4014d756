// SPDX-License-Identifier: GPL-3.0-or-later
// Where a 2θ lies along the 00l row, and the Lorentz-polarisation factor of an oriented
// clay mount there.
#pragma once

namespace teravine {

// s = 2 sin θ / λ, Å⁻¹, of a 2θ in degrees and a wavelength in Å.
double reciprocal_distance(double two_theta, double wavelength);

// The Lorentz-polarisation factor of a perfectly oriented aggregate, where the layers lie
// flat as a single crystal's would: the single-crystal Lorentz factor 1 / sin 2θ times the
// polarisation of an unpolarised beam without a monochromator, (1 + cos² 2θ) / 2 (Reynolds
// 1980, in Brindley & Brown, Crystal Structures of Clay Minerals, ch. 4; Moore & Reynolds
// 1997, X-Ray Diffraction and the Identification and Analysis of Clay Minerals, ch. 3).
// The constant factor 1/2 is left out. 2θ in degrees.
double oriented_lorentz_polarisation(double two_theta);

} // namespace teravine
