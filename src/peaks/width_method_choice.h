// SPDX-License-Identifier: GPL-3.0-or-later
// The choices that the measuring and calibration dialogs list for how widths are taken,
// in the window and in the page alike: "Half height", then "Fit" and each profile; and the
// Kα2 ratio their fits take.
#pragma once

#include "peaks/width_method.h"
#include "text/outcome.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace teravine {

// The captions in the order listed.
std::vector<std::string> width_method_captions();

// The method of the caption at `index` (the half-height reading for an index past the
// list); a fit of `components` profiles.
WidthMethod width_method_choice(std::size_t index, int components = 1);
// The index of the caption that chooses the method's kind and profile.
std::size_t width_method_index(const WidthMethod& method);

// What the "Kα2 ratio" box of the dialogs gives: below 0, which the box shows "As stated",
// none (each file's own ratio, else 0.5); 0 to 1 the I(Kα2) / I(Kα1) of every fit, 0 for no
// Kα2 line, as --alpha2-ratio gives it. Anything else is refused with the reason.
Outcome<std::optional<double>> alpha2_ratio_choice(double box);

} // namespace teravine
