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
constexpr std::uint64_t kResampleSeed = 20261208;
constexpr std::size_t kMostCoefficients = 4000;
// The background and the centre are fitted again about the centre this many times.
constexpr int kCentrePasses = 3;
// The 001 spacings of illite, Å: K illite's lie near 9.98-10.02.
constexpr double kNarrowestSpacing = 9.95;
constexpr double kWidestSpacing = 10.05;

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
    const std::vector<double> stripped =
        strip_alpha2(grid.two_theta, side.counts, side.doublet.alpha1, side.doublet.alpha2,
                     side.doublet.ratio);
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

// The sample, and the standard if there is one, corrected: the sample's tails of the shape,
// the standard's of the plain shape (its own stacks too thick to keep oscillations), with
// the sample's spacing. The refusal when either has no peak.
std::optional<std::string> correct_both(Side& sample, Side* standard, const SamplePoints& points,
                                        const TailShape& shape, const std::string& sample_who,
                                        const std::string& standard_who) {
    const bool centred = correct(sample, points.grid, std::nullopt, shape);
    if (auto refusal = peak_refusal(points.grid, sample.counts, sample.corrected, sample_who,
                                    points.range)) {
        return refusal;
    }
    if (!centred) {
        return sample_who + " shows no peak within " + points.range;
    }
    if (standard == nullptr) {
        return std::nullopt;
    }
    const bool standard_centred = correct(*standard, points.grid, 1 / sample.centre, {});
    if (auto refusal = peak_refusal(points.grid, standard->counts, standard->corrected,
                                    standard_who, points.range)) {
        return refusal;
    }
    if (!standard_centred) {
        return standard_who + " shows no peak within " + points.range;
    }
    return std::nullopt;
}

// 1 / (1 - a_1), or the thickest the coefficients resolve when they do not fall.
double mean_of(double a1, std::size_t resolved) {
    const auto most = static_cast<double>(resolved);
    return a1 < 1 - 1 / most ? 1 / (1 - a1) : most;
}

// The sample's coefficients, over the standard's (Stokes), as far as the steps resolve them
// and they stay positive, and what follows from them.
Outcome<ThicknessResult> from_coefficients(const SamplePoints& points, const Side& sample,
                                           const Side* standard, const TailShape& shape) {
    const double spacing = 1 / sample.centre;
    CoefficientSeries h(points.grid, sample.corrected, spacing, sample.centre, shape);
    std::optional<CoefficientSeries> instrument;
    if (standard != nullptr) {
        instrument.emplace(points.grid, standard->corrected, spacing, standard->centre);
    }
    if (!(h.tail() > 0) || (instrument && !(instrument->tail() > 0))) {
        return Failure{"The range " + points.range +
                       " holds too little of the reflection's low-angle side to restore the "
                       "tails it cuts off"};
    }
    ThicknessResult result;
    result.spacing = spacing;
    result.instrument_removed = standard != nullptr;
    const std::size_t resolution = std::min(h.resolution(), kMostCoefficients);
    double f0 = 0, a1 = 0;
    for (std::size_t k = 0; k <= resolution; ++k) {
        const double f = instrument ? h.next() / instrument->next() : h.next();
        if (k == 0) {
            f0 = f;
        }
        const double a = f / f0;
        if (k == 1) {
            a1 = a;
        }
        if (!(a > 0)) {
            break;
        }
        result.coefficients.push_back(a);
    }
    if (result.coefficients.empty()) {
        return Failure{"The net counts within " + points.range + " do not add up to a reflection"};
    }
    const std::size_t resolved = result.coefficients.size();
    result.unresolved = !(a1 < 1 - 1 / static_cast<double>(resolved));
    result.mean_layers = mean_of(a1, resolved);
    result.distribution = distribution_from_coefficients(result.coefficients);
    result.lognormal = fitted_lognormal(result.distribution);
    return result;
}

// The scatter of mean_layers, from the first two coefficients, over analyses of Poisson
// counts drawn about the counts of both patterns, at the spacing and tail shape found.
double resampled_scatter(const SamplePoints& points, const Side& sample, const Side* standard,
                         const TailShape& shape, std::size_t resolved) {
    const double spacing = 1 / sample.centre;
    CountDraws random(kResampleSeed);
    double sum = 0, sum2 = 0;
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
        if (standard != nullptr && !correct(*drawn_standard, points.grid, spacing, {})) {
            drawn_standard->centre = standard->centre;
        }
        CoefficientSeries h(points.grid, drawn.corrected, spacing, drawn.centre, shape);
        double f0 = h.next(), f1 = h.next();
        if (standard != nullptr) {
            CoefficientSeries g(points.grid, drawn_standard->corrected, spacing,
                                drawn_standard->centre);
            f0 /= g.next();
            f1 /= g.next();
        }
        const double m = mean_of(f0 > 0 ? f1 / f0 : 1, resolved);
        sum += m;
        sum2 += m * m;
    }
    const double average = sum / kResamples;
    return std::sqrt(std::max(sum2 - kResamples * average * average, 0.0) / (kResamples - 1));
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

} // namespace teravine
