// SPDX-License-Identifier: GPL-3.0-or-later
// The --grids option's value: a comma-separated list of grid families ("N,S,Nfp",
// and "k" where the command draws the constant-k grid) turned into check marks.
#pragma once

#include "lines/line_store.h"
#include "text/outcome.h"

#include <string>

namespace teravine::cli {

// Each named family is switched on, every other one off (k included). An empty list
// switches all off. Names are N, S, Nfp and, when allow_k, k; an unknown or empty name
// is a failure whose text is one line naming it and the accepted names.
Outcome<GridSwitches> parse_grid_list(const std::string& list, bool allow_k);

// The --identical option's value: the lines drawn through every sample (k, N, S, Nfp).
Outcome<IdenticalSwitches> parse_identical_list(const std::string& list);

} // namespace teravine::cli
