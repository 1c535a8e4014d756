// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/sigma_options.h"

#include <cmath>
#include <string>

namespace teravine::cli {
namespace {

// A width's uncertainty: a finite number of degrees, 0 to kMaxWidthSigma.
const CLI::Validator kUncertainty(
    [](std::string& text) -> std::string {
        std::size_t used = 0;
        double value = -1;
        try {
            value = std::stod(text, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != text.size() || !std::isfinite(value) || value < 0) {
            return "wants a number of degrees 2-theta, 0 or more, not " + text;
        }
        if (value > kMaxWidthSigma) {
            return "is at most 0.5 degrees 2-theta (no measured width is that uncertain), not " +
                   text;
        }
        return std::string();
    },
    "DEGREES");

} // namespace

void add_sigma_options(CLI::App& command, SigmaArgs& args) {
    auto* sigma = command.add_option(
        "--sigma", args.sigma,
        "standard uncertainty of the measured widths, degrees 2-theta: the intervals of N, "
        "%S, k and Nfp over their 1-sigma region (plot: its outline)");
    sigma->check(kUncertainty);
    command
        .add_option("--sigma-eg", args.sigma_eg,
                    "standard uncertainty of the EG width, when it differs from --sigma")
        ->check(kUncertainty)
        ->needs(sigma);
    command
        .add_option("--sigma-broadening", args.sigma_broadening,
                    "standard uncertainty of the instrumental broadening, degrees 2-theta")
        ->check(kUncertainty)
        ->needs(sigma);
    command
        .add_option("--correlation", args.correlation,
                    "correlation of the AD and EG errors, -1 to 1 (default 0)")
        ->check(CLI::Range(-1.0f, 1.0f))
        ->needs(sigma);
    command.add_flag("--two-sigma", args.two_sigma, "the 2-sigma region instead of 1 sigma")
        ->needs(sigma);
}

std::optional<WidthSigmas> chosen_sigmas(const SigmaArgs& args) {
    if (args.sigma < 0) {
        return std::nullopt;
    }
    WidthSigmas sigmas;
    sigmas.ad = args.sigma;
    sigmas.eg = args.sigma_eg < 0 ? args.sigma : args.sigma_eg;
    sigmas.broadening = args.sigma_broadening;
    sigmas.correlation = args.correlation;
    sigmas.k_sigma = args.two_sigma ? 2.0f : 1.0f;
    return sigmas;
}

} // namespace teravine::cli
