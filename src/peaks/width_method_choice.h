// SPDX-License-Identifier: GPL-3.0-or-later
// The choices that the measuring and calibration dialogs list for how widths are taken,
// in the window and in the page alike: "Half height", then "Fit" and each profile.
#pragma once

#include "peaks/width_method.h"

#include <cstddef>
#include <string>
#include <vector>

namespace teravine {

// The captions in the order listed.
std::vector<std::string> width_method_captions();

// The method of the caption at `index` (the half-height reading for an index past the
// list); a fit of `components` profiles.
WidthMethod width_method_choice(std::size_t index, int components = 1);

} // namespace teravine
