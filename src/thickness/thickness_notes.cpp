// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/thickness_notes.h"

#include "text/number_text.h"

#include <cmath>

namespace teravine {
namespace {

// The distribution's own mean and the initial slope's agree within this share for stacks
// alone (simulated ones within 6 %).
constexpr double kDiffering = 0.15;

} // namespace

std::vector<std::string> thickness_notes(const ThicknessResult& r) {
    std::vector<std::string> notes;
    const std::size_t size = r.coefficients.size();
    if (r.displacement != 0) {
        notes.push_back("The reflection lies beyond illite's 9.95-10.05 Å: the sample is taken as "
                        "displaced in its holder, and its pattern moved by " +
                        format_fixed(-r.displacement, 3) + "° 2θ to put it at 10 Å.");
    }
    if (r.unresolved) {
        notes.push_back("The coefficients do not fall enough to fix the mean: the stacks are at "
                        "least as thick as the pattern's steps and noise resolve, " +
                        format_fixed(r.mean_layers, 1) +
                        " layers, which mean_layers gives as a lower bound, without u.");
    }
    if (r.hook_end > 0) {
        const bool plain_falls = r.plain_mean_layers < static_cast<double>(size);
        notes.push_back(
            "The coefficients fall faster at n = " + std::to_string(r.hook_end) +
            " than at n = 0: the hook correction takes the first " + std::to_string(r.hook_end) +
            " as the straight line of that fall, which gives a mean of " +
            format_fixed(r.mean_layers, 2) + " layers where their own initial slope gives " +
            (plain_falls ? format_fixed(r.plain_mean_layers, 2) + " layers"
                         : "more than the " + std::to_string(size) + " the series reaches") +
            "; the distribution then holds no stacks thinner than " + std::to_string(r.hook_end) +
            " layers.");
    }
    const double own = r.distribution.mean();
    if (!r.unresolved && std::abs(own - r.mean_layers) > kDiffering * r.mean_layers) {
        const double by = 100 * (own - r.mean_layers) / r.mean_layers;
        notes.push_back("The distribution's own mean is " + format_fixed(own, 2) + " layers, " +
                        format_fixed(std::abs(by), 0) + " % " + (by < 0 ? "below" : "above") +
                        " the initial slope's: the coefficients are not those of stacks alone "
                        "(a hook left uncorrected, or the noise of their tail), and the mean is "
                        "doubtful by as much.");
    }
    if (r.end_layers > 0) {
        const std::string last =
            "n = " + std::to_string(size - 1) + ", A(n) " + format_fixed(r.coefficients.back(), 3);
        notes.push_back((r.series_cut ? "The steps resolve the coefficients only up to " + last +
                                            ", where they have not fallen to zero"
                                      : "The coefficients end at " + last +
                                            ", the last before one that is not positive") +
                        ": the bars from " + std::to_string(r.end_layers) +
                        " layers on take those beyond as 0 and hold the " +
                        format_fixed(100 * r.end_share, 0) +
                        " % of the stacks the series cannot tell apart; alpha and beta2 count "
                        "them there.");
    }
    return notes;
}

} // namespace teravine
