// SPDX-License-Identifier: GPL-3.0-or-later
// The 00l pattern of an oriented mount of illite or illite-smectite, as a diffractometer
// records it: the stacks' interference, the Lorentz-polarisation factor, the Kα doublet,
// the instrument's own profile, a background and counting noise.
#pragma once

#include "formats/anode.h"
#include "formats/pattern.h"
#include "text/outcome.h"
#include "thickness/layer_sequence.h"
#include "thickness/stack_distribution.h"

#include <cstdint>
#include <optional>

namespace teravine {

struct SimulationRequest {
    double lo = 2, hi = 30, step = 0.02; // 2θ, degrees
    Lognormal thickness = lognormal_of_mean(10, 0.3);
    double smectite = 0; // share of smectite layers, 0 to 1
    Reichweite reichweite = Reichweite::R0;
    LayerKind smectite_kind = LayerKind::smectite_air_dried;
    AnodeLines anode = *anode_lines("Cu");
    double alpha2_ratio = kAssumedAlpha2Ratio;   // I(Kα2) / I(Kα1)
    double broadening = 0;                       // the instrument's FWHM, °2θ; 0: none
    double lorentzian_share = 0.5;               // of the instrument's pseudo-Voigt
    double top = 10000;                          // counts of the diffracted intensity's top
    std::optional<std::uint64_t> seed;           // Poisson counts drawn with it; none: expected
    double background_lo = 0, background_hi = 0; // counts at the range's two ends
};

// The pattern at lo, lo + step, ... up to hi, each point the mean over its step. The
// stacks' intensity (StackIntensity) times oriented_lorentz_polarisation at each angle,
// for Kα1 and for Kα2 at alpha2_ratio of it, is convolved with the instrument's
// pseudo-Voigt of FWHM `broadening` (a Lorentzian of that share and a Gaussian, both of
// that FWHM), integrated over steps of an eighth of its FWHM or finer; its tails reach the
// whole range. Scaled so that its highest point holds `top` counts, the straight
// background is added, and with a seed each point is a Poisson count of that mean
// (CountDraws::count, the same counts on every build). Bad requests are refused with the
// reason.
Outcome<Pattern> simulate_pattern(const SimulationRequest& request);

} // namespace teravine
