// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/thickness_analysis.h"

#include "peaks/count_draws.h"
#include "thickness/alpha2_stripping.h"
#include "thickness/analysis_inputs.h"
#include "thickness/coefficient_series.h"

#include <algorithm>
#include <cmath>

namespace teravine {
namespace {

constexpr int kResamples = 48;
constexpr double kMadToSigma = 1.4826;
constexpr std::uint64_t kResampleSeed = 20261208;
constexpr std::size_t kMostCoefficients = 4000;
// The background and the centre are fitted again about the centre this many times.
constexpr int kCentrePasses = 3;
// The second differences are taken over n ± n/8 (distribution_from_coefficients).
constexpr double kWidening = 0.125;
// A fall this much steeper than the first is a hook; less, the noise of the coefficients.
constexpr double kHook = 1.5;
// A hook lies where the coefficients are above this.
constexpr double kHookReach = 0.5;
// The 001 spacings of illite, Å: K illite's lie near 9.98-10.02.
constexpr double kNarrowestSpacing = 9.95;
constexpr double kWidestSpacing = 10.05;
// Below this mean the reflection reaches far below a range that starts above kLowEnoughStart.
constexpr double kThinStacks = 4;
constexpr double kLowEnoughStart = 6.0;

// One pattern as the analysis takes it: counts on the count scale at the sample's points,
// their Kα1 profile corrected, and its centre's s.
struct Side {
    std::vector<double> counts;
    Doublet doublet;
    std::vector<double> corrected;
    double centre = 0;
};

// The side's Kα1 counts over their background, and its centre: the background through the
// flanks first straight, then fitted with the tails of the shape about the centre found,
// which is found again from the profile so corrected. With no spacing (the sample's, which
// its centre gives as 1 / s) the centre is held within illite's spacings, where a profile
// too broad to place it closely would take it beyond them. False when there is no top.
bool correct(Side& side, const ProfileGrid& grid, std::optional<double> spacing,
             const TailShape& shape) {
    const std::vector<double> stripped = strip_alpha2(
        grid.two_theta, side.counts, side.doublet.alpha1, side.doublet.alpha2, side.doublet.ratio);
    side.corrected = corrected_profile(grid, stripped, flank_line(grid.two_theta, stripped));
    const auto held = [&](std::optional<double> c) -> std::optional<double> {
        if (!c || spacing) {
            return c;
        }
        return std::clamp(*c, 1 / kWidestSpacing, 1 / kNarrowestSpacing);
    };
    auto centre = held(profile_centre(grid, side.corrected));
    for (int pass = 0; pass < kCentrePasses && centre; ++pass) {
        const FlankFit fit =
            fit_flanks(grid, stripped, spacing.value_or(1 / *centre), *centre, shape);
        side.corrected = corrected_profile(grid, stripped, fit.background);
        centre = held(profile_centre(grid, side.corrected));
    }
    side.centre = centre.value_or(0);
    return centre.has_value();
}

// The sample, and the standard if there is one, corrected alike, with the sample's spacing
// and the tails of the shape (the standard's own tails are its instrument's, but what Stokes
// divides must have been taken alike: a sample that is its own standard then gives
// coefficients of 1). The refusal when either has no peak.
std::optional<std::string> correct_both(Side& sample, Side* standard, const SamplePoints& points,
                                        const TailShape& shape, const std::string& sample_who,
                                        const std::string& standard_who) {
    const bool centred = correct(sample, points.grid, std::nullopt, shape);
    if (auto refusal =
            peak_refusal(points.grid, sample.counts, sample.corrected, sample_who, points.range)) {
        return refusal;
    }
    if (!centred) {
        return sample_who + " shows no peak within " + points.range;
    }
    if (standard == nullptr) {
        return std::nullopt;
    }
    const bool standard_centred = correct(*standard, points.grid, 1 / sample.centre, shape);
    if (auto refusal = peak_refusal(points.grid, standard->counts, standard->corrected,
                                    standard_who, points.range)) {
        return refusal;
    }
    if (!standard_centred) {
        return standard_who + " shows no peak within " + points.range;
    }
    return std::nullopt;
}

// Warren & Averbach's correction of the hook effect: the coefficients of a distribution
// fall fastest at n = 0 (their second differences are its shares, none negative), so where
// they fall much faster further on (half as fast again) while still above a half, what the
// restored tails did not make good remains: the curve is taken as the straight line of its
// steepest fall back to n = 0 and divided by that line's value there. Coefficients beyond
// the last count as 0 when the series is whole; else the last only ends the falls.
void straighten_hook(std::vector<double>& a, bool whole) {
    const auto next = [&](std::size_t n) { return n + 1 < a.size() ? a[n + 1] : 0.0; };
    const std::size_t ends = whole ? a.size() : a.size() - 1;
    std::size_t steepest = 0;
    for (std::size_t n = 1; n < ends && a[n] >= kHookReach; ++n) {
        if (a[n] - next(n) > a[steepest] - next(steepest)) {
            steepest = n;
        }
    }
    const double fall = a[steepest] - next(steepest);
    if (!(fall > kHook * (a[0] - next(0)))) {
        return;
    }
    const double start = a[steepest] + static_cast<double>(steepest) * fall;
    for (std::size_t n = 0; n < a.size(); ++n) {
        const double line = start - static_cast<double>(n) * fall;
        a[n] = (n < steepest ? line : a[n]) / start;
    }
}

// The sample's coefficients over the standard's (Stokes) on the period 1 / spacing, over
// the first, as far as the steps resolve them (at most `most`) and they stay positive, or
// with `upper` only until the first below a half (all that the mean and the hook need), the
// hook straightened; empty when the tails cannot be restored or the first is not positive.
std::vector<double> coefficients_of(const SamplePoints& points, const Side& sample,
                                    const Side* standard, double spacing, const TailShape& shape,
                                    std::size_t most, bool upper) {
    CoefficientSeries h(points.grid, sample.corrected, spacing, sample.centre, shape);
    std::optional<CoefficientSeries> instrument;
    if (standard != nullptr) {
        instrument.emplace(points.grid, standard->corrected, spacing, standard->centre, shape);
    }
    std::vector<double> a;
    if (!(h.tail() > 0) || (instrument && !(instrument->tail() > 0))) {
        return a;
    }
    const std::size_t resolution = std::min({h.resolution(), kMostCoefficients, most});
    double f0 = 0;
    for (std::size_t k = 0; k <= resolution; ++k) {
        const double f = instrument ? h.next() / instrument->next() : h.next();
        f0 = k == 0 ? f : f0;
        if (!(f / f0 > 0)) {
            break;
        }
        a.push_back(f / f0);
        if (upper && a.back() < kHookReach) {
            straighten_hook(a, false);
            return a;
        }
    }
    straighten_hook(a, true);
    return a;
}

// 1 / (1 - a_1), or the thickest the coefficients resolve (`resolved`) when they do not
// fall.
double mean_of(const std::vector<double>& a, std::size_t resolved) {
    const auto most = static_cast<double>(resolved);
    const double a1 = a.size() > 1 ? a[1] : 0;
    return a1 < 1 - 1 / most ? 1 / (1 - a1) : most;
}

// The analysis's result from the coefficients.
Outcome<ThicknessResult> from_coefficients(const SamplePoints& points, const Side& sample,
                                           const Side* standard, const TailShape& shape) {
    ThicknessResult result;
    result.coefficients = coefficients_of(points, sample, standard, 1 / sample.centre, shape,
                                          kMostCoefficients, false);
    if (result.coefficients.empty()) {
        return Failure{"The range " + points.range +
                       " holds too little of the reflection's low-angle side to restore the "
                       "tails it cuts off, or no reflection"};
    }
    result.spacing = 1 / sample.centre;
    result.instrument_removed = standard != nullptr;
    result.mean_layers = mean_of(result.coefficients, result.coefficients.size());
    result.unresolved = result.mean_layers >= static_cast<double>(result.coefficients.size());
    result.distribution = distribution_from_coefficients(result.coefficients, kWidening);
    result.lognormal = fitted_lognormal(result.distribution);
    return result;
}

// The scatter of mean_layers over analyses of Poisson counts drawn about the counts of both
// patterns, at the spacing and tail shape found, the coefficients taken as far as theirs.
double resampled_scatter(const SamplePoints& points, const Side& sample, const Side* standard,
                         const TailShape& shape, std::size_t resolved) {
    const double spacing = 1 / sample.centre;
    CountDraws random(kResampleSeed);
    std::vector<double> means;
    Side drawn = sample;
    std::optional<Side> drawn_standard;
    if (standard != nullptr) {
        drawn_standard = *standard;
    }
    for (int r = 0; r < kResamples; ++r) {
        for (std::size_t i = 0; i < drawn.counts.size(); ++i) {
            drawn.counts[i] = random.count(sample.counts[i]);
            if (standard != nullptr) {
                drawn_standard->counts[i] = random.count(standard->counts[i]);
            }
        }
        if (!correct(drawn, points.grid, spacing, shape)) {
            drawn.centre = sample.centre;
        }
        if (standard != nullptr && !correct(*drawn_standard, points.grid, spacing, shape)) {
            drawn_standard->centre = standard->centre;
        }
        const std::vector<double> a =
            coefficients_of(points, drawn, drawn_standard ? &*drawn_standard : nullptr, spacing,
                            shape, resolved, true);
        means.push_back(a.empty() ? static_cast<double>(resolved) : mean_of(a, resolved));
    }
    // 1.4826 times the median absolute deviation: the standard deviation of a normal
    // scatter, which a draw whose coefficients do not fall cannot swamp.
    const auto median = [](std::vector<double> v) {
        const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
        std::nth_element(v.begin(), middle, v.end());
        return *middle;
    };
    const double centre = median(means);
    for (double& m : means) {
        m = std::abs(m - centre);
    }
    return kMadToSigma * median(means);
}

} // namespace

Outcome<ThicknessResult> analyse_thickness(const Pattern& sample, const Pattern* standard,
                                           const PeakRange& range) {
    auto points = sample_points(sample, range);
    if (!points) {
        return Failure{points.error()};
    }
    Side s{points->counts, doublet_of(sample), {}, 0};
    std::optional<Side> g;
    std::string standard_who;
    if (standard != nullptr) {
        auto counts = standard_counts(*standard, sample, *points);
        if (!counts) {
            return Failure{counts.error()};
        }
        g = Side{std::move(counts.value()), doublet_of(*standard), {}, 0};
        standard_who = "The standard \"" + standard->name + "\"";
    }
    const std::string who = "The sample \"" + sample.name + "\"";
    Side* gs = g ? &*g : nullptr;
    // A first pass with the tails' plain shape, then one with the oscillations that thin
    // stacks keep in their flanks: those of the lognormal fitted in the first, which is smooth
    // where the distribution found has the spikes of noise.
    if (auto refusal = correct_both(s, gs, *points, {}, who, standard_who)) {
        return Failure{*refusal};
    }
    const auto plain = from_coefficients(*points, s, gs, {});
    if (!plain) {
        return Failure{plain.error()};
    }
    const TailShape shape(lognormal_distribution(plain->lognormal));
    if (auto refusal = correct_both(s, gs, *points, shape, who, standard_who)) {
        return Failure{*refusal};
    }
    auto result = from_coefficients(*points, s, gs, shape);
    if (result) {
        result.value().u_mean_layers =
            resampled_scatter(*points, s, gs, shape, result->coefficients.size());
    }
    return result;
}

std::optional<std::string> thin_stacks_note(const ThicknessResult& result, const PeakRange& range) {
    if (!(result.mean_layers < kThinStacks && range.lo > kLowEnoughStart)) {
        return std::nullopt;
    }
    return "Stacks this thin spread their 001 far to low angles: start the range lower, down to "
           "5.5° where no other reflection lies there, for a mean within a few per cent.";
}

} // namespace teravine
