// SPDX-License-Identifier: GPL-3.0-or-later
// The one line a saved figure may carry under the diagram: what it shows.
#pragma once

#include <string>
#include <string_view>

namespace teravine {

// "Reichweite R0, rule Lorentz Gauss geometric mean, broadening 0.1 °2θ", then
// ", σ 0.02 °2θ" when intervals are drawn (sigma above 0). The numbers in number text.
std::string figure_caption(std::string_view reich_name, std::string_view rule, float broadening,
                           float sigma);

} // namespace teravine
