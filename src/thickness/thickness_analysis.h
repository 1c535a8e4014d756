// SPDX-License-Identifier: GPL-3.0-or-later
// The thickness distribution of the stacks of illite from the profile of its 001
// reflection: the Bertaut-Warren-Averbach analysis, with Stokes' correction by a standard
// measured on the same instrument.
#pragma once

#include "formats/pattern.h"
#include "peaks/peak_width.h"
#include "text/outcome.h"
#include "thickness/stack_distribution.h"

#include <optional>
#include <string>
#include <vector>

namespace teravine {

struct ThicknessResult {
    // The mean number of layers, each stack counted once: 1 / (1 - a_1), from the
    // coefficients' initial slope.
    double mean_layers = 0;
    // The scatter of mean_layers over Poisson resamples of the counts (robust): the
    // counting noise alone, not what the choice of range or background moves. NaN when
    // unresolved, where mean_layers is a lower bound.
    double u_mean_layers = 0;
    double spacing = 0; // Å, the layers' 001 spacing, from the reflection's centre
    // Degrees 2θ the pattern was taken as displaced by: a reflection centred beyond
    // illite's spacings is shifted to the nearer of them. 0 for one within them.
    double displacement = 0;
    double mean_nm() const { return mean_layers * spacing / 10; }
    ThicknessDistribution distribution;
    Lognormal lognormal; // fitted to the distribution
    // The corrected coefficients a_k over a_0, k = 0, 1, ... up to before the first that
    // is not positive: the pairs of layers k apart over the layers, over the stacks.
    std::vector<double> coefficients;
    bool instrument_removed = false; // a standard was given
    // The coefficients do not fall enough to fix the mean: they hardly fall by the first
    // step, or the mean lies within a few layers of where the series is cut off, or most of
    // the resampled counts give such coefficients. The stacks are at least as thick as
    // mean_layers, which is then a lower bound.
    bool unresolved = false;
    // The hook correction, when it was made: the coefficients before n = hook_end are the
    // straight line of the steepest fall, which lies there; `hooked` holds them as they were
    // measured, and plain_mean_layers the mean their own initial slope gives.
    std::size_t hook_end = 0;
    std::vector<double> hooked;
    double plain_mean_layers = 0;
    // The series ended at the steps' resolution with its coefficients still above zero,
    // rather than where they fall to zero.
    bool series_cut = false;
    // The bars from end_layers on take the coefficients beyond the last as 0: they hold
    // the stacks thicker than the series tells apart, end_share of all.
    std::size_t end_layers = 0;
    double end_share = 0;
};

// The analysis of the 001 reflection of illite within `range` (2θ, Cu Kα scale, carried to
// the pattern's wavelength), which lies within one period of the 10 Å layers' reciprocal
// lattice and within the sample's scan (analysis_inputs):
// 1. the Kα2 line is stripped (strip_alpha2), the background fitted with the reflection's
//    tails in the flank windows and taken away, the net counts divided by Lp · F², and the
//    centre found (corrected_profile), which gives the layers' spacing d;
// 2. the coefficients of the low-angle side and its mirror over the period 1/d, the tails
//    the range cuts off restored (CoefficientSeries);
// 3. with a standard, Stokes (1948): the sample's coefficients over the standard's, the
//    standard's counts carried to the sample's 2θ and taken through steps 1 and 2 alike
//    (with the sample's d and tail shape);
// 4. a_k = F_k / F_0 while the steps resolve them and they stay positive, a hook that
//    remains within the first layers straightened (Warren & Averbach), mean_layers from
//    a_1, the distribution from their second differences (distribution_from_coefficients),
//    the lognormal with its mean and variance of ln n;
// 5. steps 1 to 4 again with the tails of the lognormal found, which keep the oscillations
//    of thin stacks;
// 6. u_mean_layers: the scatter of mean_layers over 48 analyses of Poisson counts drawn
//    about the sample's (and the standard's) counts, with a fixed seed, as 1.4826 times
//    their median absolute deviation; unresolved when more than half of them are.
// The sample's centre is held within illite's spacings (9.95-10.05 Å) only where its
// profile is too broad to place it; a reflection centred far from them is refused, naming
// the anode under which it would be illite's 001. A pattern without a peak in the range is
// refused with the reason, and so is a standard of another wavelength, one that does not
// cover the range, or one of coarser steps than the sample's.
Outcome<ThicknessResult> analyse_thickness(const Pattern& sample, const Pattern* standard,
                                           const PeakRange& range);

// Stacks so thin that their 001 spreads far below the range's low end: the advice to start
// the range lower, for a mean within a few per cent; none otherwise.
std::optional<std::string> thin_stacks_note(const ThicknessResult& result, const PeakRange& range);

// The means over ranges half a degree wider and narrower at each end than `range`, where
// one period and the sample's scan allow them, each from one analysis without resamples:
// how far the choice of range moves the mean, which u_mean_layers does not hold.
struct RangeMean {
    PeakRange range;
    double mean_layers = 0;
    bool unresolved = false;
};
std::vector<RangeMean> nearby_range_means(const Pattern& sample, const Pattern* standard,
                                          const PeakRange& range);

} // namespace teravine
