// SPDX-License-Identifier: GPL-3.0-or-later
// What a thickness analysis says of itself beyond its numbers, in words a front end shows
// as they stand: a pattern taken as displaced, a mean that is only a lower bound, the hook
// correction, and the stacks that the series' end leaves in the last bars.
#pragma once

#include "thickness/thickness_analysis.h"

#include <string>
#include <vector>

namespace teravine {

// A sentence each, in this order, for what applies:
// - the pattern moved, as a sample displaced in its holder;
// - unresolved: "The coefficients do not fall enough to fix the mean: ...";
// - the hook correction made: where it ends and the mean the plain initial slope gives;
// - the distribution's own mean more than 15 % from the initial slope's;
// - the bars the series' end decides: from how many layers, and their share.
std::vector<std::string> thickness_notes(const ThicknessResult& result);

} // namespace teravine
