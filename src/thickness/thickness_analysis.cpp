// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/thickness_analysis.h"

#include "formats/anode.h"
#include "peaks/count_draws.h"
#include "text/number_text.h"
#include "thickness/alpha2_stripping.h"
#include "thickness/analysis_inputs.h"
#include "thickness/coefficient_series.h"
#include "thickness/layer_structure.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

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
// A reflection centred beyond these, Å, is not illite's 001 (a sample displaced in its
// holder moves it by a tenth of an ångström or two).
constexpr double kLeastSpacing = 9.6;
constexpr double kMostSpacing = 10.5;
// A mean within this many layers of where the series is cut off is not resolved by it.
constexpr double kFewLayers = 3;
// Bars that take the coefficients beyond the series' end as 0 are told apart when they
// hold more than this share of the stacks.
constexpr double kEndShare = 0.05;
// Nearby ranges lie this much wider and narrower at each end, degrees.
constexpr double kNearbyRange = 0.5;

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
// its centre gives as 1 / s) a centre that the profile places only roughly, being too broad,
// is held within illite's spacings; one it places by its crossings is left where it lies:
// a reflection mirrored about a point beside its top takes a hook, and one that lies beyond
// them is that of a sample displaced in its holder, which `displace` moves. False when
// there is no top.
bool correct(Side& side, const ProfileGrid& grid, std::optional<double> spacing,
             const TailShape& shape) {
    const std::vector<double> stripped = strip_alpha2(
        grid.two_theta, side.counts, side.doublet.alpha1, side.doublet.alpha2, side.doublet.ratio);
    side.corrected = corrected_profile(grid, stripped, flank_line(grid.two_theta, stripped));
    const auto held = [&](std::optional<ProfileCentre> c) -> std::optional<double> {
        if (!c) {
            return std::nullopt;
        }
        if (spacing || c->crossed) {
            return c->s;
        }
        return std::clamp(c->s, 1 / kWidestSpacing, 1 / kNarrowestSpacing);
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

// The refusal of a reflection centred too far from illite's spacings to be its 001, naming
// the anode under whose wavelength the top of its counts would be.
std::optional<std::string> spacing_refusal(const SamplePoints& points, double spacing,
                                           const std::string& who) {
    if (spacing >= kLeastSpacing && spacing <= kMostSpacing) {
        return std::nullopt;
    }
    std::string text = who + " has its reflection within " + points.range + " centred at d " +
                       format_fixed(spacing, 2) + " Å, too far from illite's 10 Å to be its 001";
    // The top of the counts over the straight line through the flanks, averaged over five
    // points: the structure factor that the profile is divided by does not move it.
    const std::vector<double>& t = points.grid.two_theta;
    const StraightLine line = flank_line(t, points.counts);
    std::size_t top = 2;
    double highest = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 2; i + 2 < t.size(); ++i) {
        double net = 0;
        for (std::size_t j = i - 2; j <= i + 2; ++j) {
            net += points.counts[j] - line.at(t[j]);
        }
        if (net > highest) {
            highest = net;
            top = i;
        }
    }
    const double top_spacing =
        points.wavelength / (2 * std::sin(t[top] / 2 * std::numbers::pi / 180));
    for (const AnodeLines& anode : known_anodes()) {
        const double d = top_spacing * anode.alpha1 / points.wavelength;
        if (std::abs(anode.alpha1 - points.wavelength) > 1e-3 && d >= kLeastSpacing &&
            d <= kMostSpacing) {
            text += ": its counts top at " + format_fixed(t[top], 2) + "°, which under " +
                    std::string(anode.symbol) + " Kα would be d " + format_fixed(d, 2) +
                    " Å; if the pattern was taken with a " + std::string(anode.symbol) +
                    " tube, give it that anode";
        }
    }
    return text;
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
    if (auto refusal = spacing_refusal(points, 1 / sample.centre, sample_who)) {
        return refusal;
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

// The coefficients as the analysis takes them, and how their series ended.
struct Series {
    std::vector<double> a;
    bool cut = false; // at the steps' resolution, its coefficients still positive
    // The hook correction: the coefficients before hook_end replaced, as they were measured
    // over the line's value at n = 0 (`hooked`), and a_1 as it was.
    std::size_t hook_end = 0;
    std::vector<double> hooked;
    double plain_a1 = 0;
};

// Warren & Averbach's correction of the hook effect: the coefficients of a distribution
// fall fastest at n = 0 (their second differences are its shares, none negative), so where
// they fall much faster further on (half as fast again) while still above a half, what the
// restored tails and the straight background did not make good remains (a background that
// curves, as the air's scatter does at low angles, leaves one): the curve is taken as the
// straight line of its steepest fall back to n = 0 and divided by that line's value there.
// The hook lies within the first coefficients, so the fall is one only where the
// coefficients are above a half after the division too, and the line falls to zero within
// the series: further on, where a flat series drops at its end, it would make a mean out of
// noise. Coefficients beyond the last count as 0 when the series ended on one that is not
// positive (`whole`); else the last only ends the falls. `length`: how many the whole series
// holds, of which `a` may be the start.
void straighten_hook(Series& series, bool whole, std::size_t length) {
    std::vector<double>& a = series.a;
    const auto next = [&](std::size_t n) { return n + 1 < a.size() ? a[n + 1] : 0.0; };
    const std::size_t ends = whole ? a.size() : a.size() - 1;
    std::size_t steepest = 0;
    for (std::size_t n = 1; n < ends && a[n] >= kHookReach; ++n) {
        if (a[n] - next(n) > a[steepest] - next(steepest)) {
            steepest = n;
        }
    }
    const double fall = a[steepest] - next(steepest);
    const double start = a[steepest] + static_cast<double>(steepest) * fall;
    if (!(fall > kHook * (a[0] - next(0))) || !(a[steepest] >= kHookReach * start) ||
        !(start < fall * static_cast<double>(length))) {
        return;
    }
    series.plain_a1 = next(0);
    series.hook_end = steepest;
    for (std::size_t n = 0; n < a.size(); ++n) {
        if (n < steepest) {
            series.hooked.push_back(a[n] / start);
        }
        const double line = start - static_cast<double>(n) * fall;
        a[n] = (n < steepest ? line : a[n]) / start;
    }
}

// The sample's coefficients over the standard's (Stokes) on the period 1 / spacing, over
// the first, as far as the steps resolve them (at most `most`) and they stay positive, or
// with `upper` only until the first below a half (all that the mean and the hook need), the
// hook straightened; none when the tails cannot be restored or the first is not positive.
Series coefficients_of(const SamplePoints& points, const Side& sample, const Side* standard,
                       double spacing, const TailShape& shape, std::size_t most, bool upper) {
    CoefficientSeries h(points.grid, sample.corrected, spacing, sample.centre, shape);
    std::optional<CoefficientSeries> instrument;
    if (standard != nullptr) {
        instrument.emplace(points.grid, standard->corrected, spacing, standard->centre, shape);
    }
    Series series;
    std::vector<double>& a = series.a;
    if (!(h.tail() > 0) || (instrument && !(instrument->tail() > 0))) {
        return series;
    }
    const std::size_t resolution = std::min({h.resolution(), kMostCoefficients, most});
    double f0 = 0;
    bool fell = false;
    for (std::size_t k = 0; k <= resolution && !fell; ++k) {
        const double f = instrument ? h.next() / instrument->next() : h.next();
        f0 = k == 0 ? f : f0;
        fell = !(f / f0 > 0);
        if (!fell) {
            a.push_back(f / f0);
        }
        if (upper && !fell && a.back() < kHookReach) {
            straighten_hook(series, false, resolution);
            return series;
        }
    }
    if (a.empty()) {
        return series;
    }
    series.cut = !fell;
    straighten_hook(series, fell, a.size());
    return series;
}

// 1 / (1 - a_1), or the thickest the coefficients resolve (`resolved`) when they do not
// fall.
double mean_of(double a1, std::size_t resolved) {
    const auto most = static_cast<double>(resolved);
    return a1 < 1 - 1 / most ? 1 / (1 - a1) : most;
}

double mean_of(const std::vector<double>& a, std::size_t resolved) {
    return mean_of(a.size() > 1 ? a[1] : 0, resolved);
}

// The bars from the first whose parabola reaches beyond the series' last coefficient, where
// they hold more than kEndShare of the stacks: those the series cannot tell apart.
void mark_series_end(ThicknessResult& result) {
    const std::size_t size = result.coefficients.size();
    std::size_t first = 1;
    while (first + parabola_reach(first, kWidening) < size) {
        ++first;
    }
    const std::vector<double>& p = result.distribution.fraction;
    double share = 0;
    for (std::size_t n = first; n <= p.size(); ++n) {
        share += p[n - 1];
    }
    if (share > kEndShare) {
        result.end_layers = first;
        result.end_share = share;
    }
}

// The analysis's result from the coefficients.
Outcome<ThicknessResult> from_coefficients(const SamplePoints& points, const Side& sample,
                                           const Side* standard, const TailShape& shape) {
    Series series = coefficients_of(points, sample, standard, 1 / sample.centre, shape,
                                    kMostCoefficients, false);
    if (series.a.empty()) {
        return Failure{"The range " + points.range +
                       " holds too little of the reflection's low-angle side to restore the "
                       "tails it cuts off, or no reflection"};
    }
    ThicknessResult result;
    result.coefficients = std::move(series.a);
    const std::size_t size = result.coefficients.size();
    result.spacing = 1 / sample.centre;
    result.instrument_removed = standard != nullptr;
    result.mean_layers = mean_of(result.coefficients, size);
    result.unresolved = result.mean_layers >= static_cast<double>(size) ||
                        (series.cut && result.mean_layers > static_cast<double>(size) - kFewLayers);
    result.series_cut = series.cut;
    result.hook_end = series.hook_end;
    result.hooked = std::move(series.hooked);
    if (result.hook_end > 0) {
        result.plain_mean_layers = mean_of(series.plain_a1, size);
    }
    result.distribution = distribution_from_coefficients(result.coefficients, kWidening);
    result.lognormal = fitted_lognormal(result.distribution);
    mark_series_end(result);
    return result;
}

// The scatter of mean_layers over analyses of Poisson counts drawn about the counts of both
// patterns, at the spacing and tail shape found, the coefficients taken as far as theirs,
// and how many of them are unresolved.
struct Scatter {
    double u = 0;
    int unresolved = 0;
};
Scatter resampled_scatter(const SamplePoints& points, const Side& sample, const Side* standard,
                          const TailShape& shape, std::size_t resolved) {
    const double spacing = 1 / sample.centre;
    CountDraws random(kResampleSeed);
    std::vector<double> means;
    Side drawn = sample;
    std::optional<Side> drawn_standard;
    if (standard != nullptr) {
        drawn_standard = *standard;
    }
    Scatter scatter;
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
        const Series series =
            coefficients_of(points, drawn, drawn_standard ? &*drawn_standard : nullptr, spacing,
                            shape, resolved, true);
        means.push_back(series.a.empty() ? static_cast<double>(resolved)
                                         : mean_of(series.a, resolved));
        scatter.unresolved += means.back() >= static_cast<double>(resolved) ? 1 : 0;
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
    scatter.u = kMadToSigma * median(means);
    return scatter;
}

// A reflection that its profile centres beyond illite's spacings lies there because the
// sample was displaced in its holder (a tenth of a millimetre moves it by a few hundredths
// of a degree): its points are shifted in 2θ so that it lies at illite's 10 Å, where the
// layers' structure factor, which changes fast beside the 001, is then taken. The shift,
// degrees 2θ; 0 for a reflection within them.
double displace(SamplePoints& points, double centre) {
    if (centre >= 1 / kWidestSpacing && centre <= 1 / kNarrowestSpacing) {
        return 0;
    }
    const double held = 1 / layer_spacing(LayerKind::illite);
    const auto angle = [&](double s) {
        return 360 / std::numbers::pi * std::asin(points.wavelength * s / 2);
    };
    const double shift = angle(centre) - angle(held);
    std::vector<double> shifted = points.grid.two_theta;
    for (double& t : shifted) {
        t -= shift;
    }
    points.grid = profile_grid(shifted, points.wavelength);
    return shift;
}

// The analysis, with its resamples or without.
Outcome<ThicknessResult> analysis(const Pattern& sample, const Pattern* standard,
                                  const PeakRange& range, bool resampled) {
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
    // where the distribution found has the spikes of noise. A sample found displaced is
    // taken through both again, moved.
    TailShape shape;
    const auto centre_both = [&]() -> std::optional<std::string> {
        if (auto refusal = correct_both(s, gs, *points, {}, who, standard_who)) {
            return refusal;
        }
        const auto plain = from_coefficients(*points, s, gs, {});
        if (!plain) {
            return plain.error();
        }
        shape = TailShape(lognormal_distribution(plain->lognormal));
        return correct_both(s, gs, *points, shape, who, standard_who);
    };
    auto refusal = centre_both();
    const double displacement = refusal ? 0 : displace(points.value(), s.centre);
    if (!refusal && displacement != 0) {
        refusal = centre_both();
    }
    if (refusal) {
        return Failure{*refusal};
    }
    auto result = from_coefficients(*points, s, gs, shape);
    if (result) {
        result.value().displacement = displacement;
    }
    if (result && resampled) {
        ThicknessResult& r = result.value();
        const Scatter scatter = resampled_scatter(*points, s, gs, shape, r.coefficients.size());
        r.u_mean_layers = scatter.u;
        r.unresolved = r.unresolved || 2 * scatter.unresolved > kResamples;
    }
    if (result && result->unresolved) {
        result.value().u_mean_layers = std::numeric_limits<double>::quiet_NaN();
    }
    return result;
}

} // namespace

Outcome<ThicknessResult> analyse_thickness(const Pattern& sample, const Pattern* standard,
                                           const PeakRange& range) {
    return analysis(sample, standard, range, true);
}

std::vector<RangeMean> nearby_range_means(const Pattern& sample, const Pattern* standard,
                                          const PeakRange& range) {
    std::vector<RangeMean> means;
    for (const double by : {kNearbyRange, -kNearbyRange}) {
        const PeakRange nearby{range.lo - by, range.hi + by};
        if (const auto r = analysis(sample, standard, nearby, false)) {
            means.push_back({nearby, r->mean_layers, r->unresolved});
        }
    }
    return means;
}

std::optional<std::string> thin_stacks_note(const ThicknessResult& result, const PeakRange& range) {
    if (!(result.mean_layers < kThinStacks && range.lo > kLowEnoughStart)) {
        return std::nullopt;
    }
    return "Stacks this thin spread their 001 far to low angles: start the range lower, down to "
           "5.5° where no other reflection lies there, for a mean within a few per cent.";
}

} // namespace teravine
