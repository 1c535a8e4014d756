// SPDX-License-Identifier: GPL-3.0-or-later
// What the thickness analysis takes from the patterns it is given: the range's points and
// counts of the sample, the standard's counts carried to them, and the checks that refuse
// patterns the analysis cannot read, each with its reason.
#pragma once

#include "formats/pattern.h"
#include "peaks/peak_width.h"
#include "text/outcome.h"
#include "thickness/corrected_profile.h"

#include <string>
#include <vector>

namespace teravine {

// The Kα2 line of a pattern: its wavelength and its share, as the file states them, else
// those of the anode the file's wavelength is (Cu where it states none) and the ratio
// assumed for a tube's doublet.
struct Doublet {
    double alpha1 = 0, alpha2 = 0, ratio = 0;
};
Doublet doublet_of(const Pattern& pattern);

// Whether a range on the Cu Kα scale lies within one period of the 10 Å layers' 00l row
// about their 001 (4.42°-13.27° 2θ Cu Kα), as the analysis takes it.
bool within_one_period(const PeakRange& range);

// The sample's points within the range (2θ on Cu Kα's scale, carried to the pattern's
// wavelength) and their counts on the count scale. Refused when the range reaches beyond
// one period of the 10 Å layers' 00l row about their 001 (4.42°-13.27° 2θ Cu Kα), lies
// beyond the pattern's scan, or holds fewer than 20 points or more than 20,000.
struct SamplePoints {
    ProfileGrid grid;
    std::vector<double> counts;
    std::string range;     // "6.5°–11.5°", as messages name it
    double wavelength = 0; // the sample's Kα1, Å
};
Outcome<SamplePoints> sample_points(const Pattern& sample, const PeakRange& range);

// The standard's counts (on its count scale) at the sample's points, by linear
// interpolation. Refused when it states another wavelength than the sample, does not cover
// the range, or has coarser steps than the sample's there (its peak would not survive
// being carried to them).
Outcome<std::vector<double>> standard_counts(const Pattern& standard, const Pattern& sample,
                                             const SamplePoints& points);

// Refused, naming `who`, when the corrected profile's highest reliable point (averaged over
// five) does not rise above the background by three standard deviations of the counts'
// noise there, or lies in a flank window: the counts rising towards an end of the range
// instead of to a peak within it.
std::optional<std::string> peak_refusal(const ProfileGrid& grid, const std::vector<double>& counts,
                                        const std::vector<double>& corrected,
                                        const std::string& who, const std::string& range);

} // namespace teravine
