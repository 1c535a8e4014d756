// SPDX-License-Identifier: GPL-3.0-or-later
// How far k, N, %S and Nfp move when the measured widths (and the instrumental width)
// move by their standard uncertainties. The widths are taken as measured, before the
// broadening is removed: that is where the uncertainties arise, and the instrumental
// width's own uncertainty can only be carried through the broadening rule from there.
// Every point of the uncertainty region is identified exactly as a typed pair is (the
// broadening removed by the rule, then find_k and sample_values); nothing is linearised.
#pragma once

#include "lines/line_store.h"
#include "model/broadening.h"
#include "model/calibration.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace teravine {

// The broadening as "Draw" removes it from a typed pair: none unless removes_broadening.
struct BroadeningRemoval {
    float broadening = 0;
    std::int16_t rule = kRuleMixture;
    const CorrectionTable* table = nullptr; // rule 3 only; none gives -1 for every width
};

// Standard uncertainties of the measured widths, degrees 2-theta.
struct WidthSigmas {
    float ad = 0;
    float eg = 0;
    float correlation = 0; // of the AD and EG errors, -1..1
    float broadening = 0;  // of the instrumental width, independent of the other two
    float k_sigma = 1;     // 1: the 1-sigma region, 2: the 2-sigma region
};

// Whether the sigmas can be used: finite, none negative, |correlation| <= 1, k_sigma > 0.
bool sigmas_valid(const WidthSigmas& sigmas);

// No measured width is more uncertain than this (degrees 2θ): a larger sigma is a mistake,
// and its region would reach far beyond the model.
inline constexpr float kMaxWidthSigma = 0.5f;

struct ValueInterval {
    float value = 0; // at the centre, as the identification of the pair gives it
    float low = 0;
    float high = 0;
};

struct WidthUncertainty {
    ValueInterval n;     // N rounded, as the label shows it
    ValueInterval s_pct; // %S to two decimals
    ValueInterval k;
    ValueInterval nfp; // Nfp as the label shows it
    int points = 0;    // points of the region evaluated, the centre included
    int above_diagonal = 0;
    int below_rows = 0;     // below the lowest k row, no width left after the removal, ...
    int not_computable = 0; // located, but N, %S or Nfp cannot be computed
    // The outline of the region in the diagram's coordinates (the corrected widths),
    // closed: the last point repeats the first.
    Line outline;

    int outside() const { return above_diagonal + below_rows + not_computable; }
    // The intervals cover only the part of the region inside the model.
    bool cut() const { return outside() > 0; }
};

// The measured pair (ad, eg) with its uncertainties. Nothing when the centre itself
// is outside the model or its values cannot be computed.
std::optional<WidthUncertainty> width_uncertainty(const Calibration& cal, float ad, float eg,
                                                  const BroadeningRemoval& removal,
                                                  const WidthSigmas& sigmas);

// A pair of widths as measured, with the broadening removed from it, and its own sigmas
// when it has them (a measured sample's u).
struct MeasuredPair {
    float ad = 0;
    float eg = 0;
    BroadeningRemoval removal;
    std::optional<WidthSigmas> sigmas = {};
};

// Every pair under its own sigmas, or else the shared ones (none: no region), shared out
// over the cores as identify_pairs shares them (workers 0: every core). The results do not
// depend on the number of workers.
std::vector<std::optional<WidthUncertainty>>
width_uncertainties(const Calibration& cal, std::span<const MeasuredPair> pairs,
                    const std::optional<WidthSigmas>& shared, unsigned workers = 0);
inline std::vector<std::optional<WidthUncertainty>>
width_uncertainties(const Calibration& cal, std::span<const MeasuredPair> pairs,
                    const WidthSigmas& sigmas, unsigned workers = 0) {
    return width_uncertainties(cal, pairs, std::optional(sigmas), workers);
}

} // namespace teravine
