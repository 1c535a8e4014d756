// SPDX-License-Identifier: GPL-3.0-or-later
// What `measure` and `pattern` are told of a pattern file beyond its name: --scan for a
// file of several scans, --anode or --wavelength for a file that does not state its
// radiation.
#pragma once

#include "formats/read_pattern.h"
#include "text/outcome.h"

#include <CLI/CLI.hpp>

#include <string>

namespace teravine::cli {

struct PatternArgs {
    std::size_t scan = 0;  // 1-based; 0: not given
    std::string anode;     // "Cu", "Co", ...; empty: not given
    double wavelength = 0; // Kα1 in ångström, when wavelength_given
    bool wavelength_given = false;
};

// --scan N, --anode A and --wavelength W, the last two excluding each other.
void add_pattern_options(CLI::App& command, PatternArgs& args);

// The choice the options make; a wavelength no X-ray tube gives is refused.
Outcome<PatternChoice> pattern_choice(const PatternArgs& args);

} // namespace teravine::cli
