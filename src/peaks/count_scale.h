// SPDX-License-Identifier: GPL-3.0-or-later
// What the intensities of a pattern are worth in counts: counting noise is Poisson only on
// counts, so counts per second and scaled intensities are carried onto a count scale first.
#pragma once

#include "formats/pattern.h"

#include <string>
#include <string_view>
#include <vector>

namespace teravine {

enum class CountBasis {
    counted,   // whole counts, as a detector counts them
    converted, // counts per second times the stated counting time
    estimated, // scaled intensities, the scale found from their own point-to-point noise
};

struct CountScale {
    CountBasis basis = CountBasis::counted;
    double factor = 1; // counts = intensity × factor
};

// Counts per second with a stated counting time are converted by it; other intensities
// that are not all whole numbers are estimated: the scatter of each point about the mean of
// its two neighbours, against its intensity, gives the variance per unit of intensity,
// whose inverse makes the noise Poisson again.
CountScale count_scale(const Pattern& pattern);

// The pattern's intensities on the count scale: its own counts when the factor is 1, else
// copies scaled into `storage`.
const std::vector<double>& counts_on_scale(const Pattern& pattern, const CountScale& scale,
                                           std::vector<double>& storage);

// "counts", "counting-time", "estimated": what `pattern --info` calls the basis.
std::string_view count_basis_name(CountBasis basis);

// How the counts' noise was found, for a note beside the widths: nothing for counts.
std::string count_scale_note(const CountScale& scale, const Pattern& pattern);

} // namespace teravine
