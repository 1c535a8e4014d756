// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/thickness_notes.h"

#include "text/number_text.h"

#include <cmath>

namespace teravine {

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
