// SPDX-License-Identifier: GPL-3.0-or-later
// The standard uncertainties of the widths that `identify` and `treat` carry to k, N,
// %S and Nfp: --sigma (both widths, or the AD width with --sigma-eg), --sigma-broadening,
// --correlation and --two-sigma.
#pragma once

#include "identify/uncertainty.h"

#include <CLI/CLI.hpp>

#include <optional>

namespace teravine::cli {

struct SigmaArgs {
    float sigma = -1; // -1: not given
    float sigma_eg = -1;
    float sigma_broadening = 0;
    float correlation = 0;
    bool two_sigma = false;
};

void add_sigma_options(CLI::App& command, SigmaArgs& args);

// Nothing when --sigma is not given.
std::optional<WidthSigmas> chosen_sigmas(const SigmaArgs& args);

} // namespace teravine::cli
