// SPDX-License-Identifier: GPL-3.0-or-later
// The samples that `treat` and `plot --samples` read: a width file (.IW), or a named
// sample list (a path ending in .csv) with the u each sample brings from its measurement.
#pragma once

#include "batch/width_file.h"
#include "text/outcome.h"

#include <optional>
#include <string>
#include <vector>

namespace teravine::cli {

struct SamplesInput {
    WidthFile measured;                     // as read; a list's names and broadenings in it
    std::vector<std::optional<float>> u_ad; // one a sample for a list; empty for a width file
    std::vector<std::optional<float>> u_eg;
    // The doubts a list states of each width, one a sample when it has the columns.
    std::vector<std::string> quality_ad;
    std::vector<std::string> quality_eg;
};

// "-" reads standard input (a list when the path ends in .csv, which "-" never does).
Outcome<SamplesInput> read_samples_input(const std::string& path);

// Whether any sample brings its own u.
bool any_own_sigma(const SamplesInput& input);

// "Sample pit B: doubtful widths, AD weak, EG edge;flank" for sample i when its list
// doubts either width; nothing otherwise.
std::optional<std::string> sample_doubt(const SamplesInput& input, std::size_t i);

} // namespace teravine::cli
