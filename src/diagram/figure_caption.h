// SPDX-License-Identifier: GPL-3.0-or-later
// What a saved figure says of itself: the line under the diagram (Reichweite, the rule and
// the broadening the samples were corrected with, the sigma of the ellipses) and the
// legend of the ellipses.
#pragma once

#include "identify/sample_list.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace teravine {

// "Reichweite R0, rule Lorentz Gauss geometric mean, broadening 0.1 °2θ", then
// ", σ 0.02 °2θ" when intervals are drawn (sigma above 0). The numbers in number text.
std::string figure_caption(std::string_view reich_name, std::string_view rule, float broadening,
                           float sigma);

// The rule and broadening in force when nothing placed says otherwise.
struct CorrectionInForce {
    std::int16_t rule = kRuleMixture;
    float broadening = 0;
};

// The caption of a figure of these samples: the rule and broadening that placed the
// samples with removed broadening (those in force when none has any), "rule varies" or
// "b varies" when they differ from sample to sample, whose own are in the sample table.
std::string figure_caption(std::string_view reich_name, const SampleList& samples,
                           CorrectionInForce in_force, float sigma);

// The ellipses' legend: "1σ region of each sample's own u", "1σ region, σ .02 °2θ",
// or both sources joined when some samples have their own u and the others the shared
// sigma. Nothing when no drawn sample has a region.
std::optional<std::string> ellipse_legend(const SampleList& samples, float k_sigma,
                                          float shared_ad_sigma, float shared_eg_sigma);

} // namespace teravine
