// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/analysis_inputs.h"

#include "formats/anode.h"
#include "peaks/count_scale.h"
#include "thickness/layer_structure.h"
#include "thickness/lorentz_polarisation.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace teravine {
namespace {

constexpr std::size_t kLeastPoints = 20;
// More points than a diffractometer's finest steps give over a reflection, which would only
// cost time.
constexpr std::size_t kMostPoints = 20000;
// The top is averaged over this many points on either side.
constexpr std::size_t kTopReach = 2;
constexpr double kLeastSignificance = 3;
// A standard's steps may be this much coarser than the sample's, for rounding.
constexpr double kStepTolerance = 1.01;

// Four decimals at most.
std::string number(double value) {
    char text[32];
    return std::string(text,
                       std::to_chars(text, text + sizeof text, std::round(value * 1e4) / 1e4).ptr);
}

std::string degrees(double value) {
    return number(value) + "°";
}

std::string range_words(double lo, double hi) {
    return degrees(lo) + "–" + degrees(hi);
}

// The pattern's counts at the 2θ, by linear interpolation.
double counts_at(const Pattern& p, const std::vector<double>& counts, double two_theta) {
    const auto above = std::upper_bound(p.two_theta.begin(), p.two_theta.end(), two_theta);
    if (above == p.two_theta.begin()) {
        return counts.front();
    }
    if (above == p.two_theta.end()) {
        return counts.back();
    }
    const auto i = static_cast<std::size_t>(above - p.two_theta.begin());
    const double t = (two_theta - p.two_theta[i - 1]) / (p.two_theta[i] - p.two_theta[i - 1]);
    return counts[i - 1] + t * (counts[i] - counts[i - 1]);
}

} // namespace

Doublet doublet_of(const Pattern& p) {
    Doublet d;
    d.alpha1 = p.wavelength.value_or(kCuKAlpha1);
    const auto anode = anode_lines(p.anode.empty() ? anode_of(d.alpha1) : p.anode);
    const double cu_ratio = anode_lines("Cu")->alpha2 / kCuKAlpha1;
    d.alpha2 = p.alpha2.value_or(anode ? anode->alpha2 : d.alpha1 * cu_ratio);
    d.ratio = p.alpha2_ratio.value_or(kAssumedAlpha2Ratio);
    return d;
}

bool within_one_period(const PeakRange& range) {
    const double spacing = layer_spacing(LayerKind::illite);
    return spacing * reciprocal_distance(range.lo, kCuKAlpha1) > 0.5 &&
           spacing * reciprocal_distance(range.hi, kCuKAlpha1) < 1.5;
}

Outcome<SamplePoints> sample_points(const Pattern& sample, const PeakRange& range) {
    const std::string who = "The sample \"" + sample.name + "\"";
    const double wavelength = sample.wavelength.value_or(kCuKAlpha1);
    const auto on_scale = range_on_pattern_scale(sample, range);
    if (!on_scale) {
        return Failure{who + ": its wavelength cannot reach the range " +
                       range_words(range.lo, range.hi)};
    }
    const double lo = on_scale->lo, hi = on_scale->hi;
    const double spacing = layer_spacing(LayerKind::illite);
    if (!within_one_period(range)) {
        const auto angle = [&](double x) {
            return 360 / std::numbers::pi * std::asin(x * wavelength / (2 * spacing));
        };
        return Failure{"The range " + range_words(lo, hi) +
                       " reaches beyond one period of the 10 Å layers' 00l row about their 001 (" +
                       range_words(angle(0.5), angle(1.5)) + " 2θ): give a range within it"};
    }
    if (sample.two_theta.front() > lo || sample.two_theta.back() < hi) {
        return Failure{who + " covers " +
                       range_words(sample.two_theta.front(), sample.two_theta.back()) +
                       ", not the range " + range_words(lo, hi)};
    }
    const auto first = std::lower_bound(sample.two_theta.begin(), sample.two_theta.end(), lo);
    const auto last = std::upper_bound(sample.two_theta.begin(), sample.two_theta.end(), hi);
    const auto points = static_cast<std::size_t>(last - first);
    if (points < kLeastPoints || points > kMostPoints) {
        return Failure{
            who + " holds " + std::to_string(points) + " points within " + range_words(lo, hi) +
            "; the analysis takes " + std::to_string(kLeastPoints) + " to " +
            std::to_string(kMostPoints) +
            (points > kMostPoints ? ": give a narrower range or a scan of coarser steps" : "")};
    }
    SamplePoints p;
    p.grid = profile_grid(std::span<const double>(&*first, points), wavelength);
    p.range = range_words(lo, hi);
    p.wavelength = wavelength;
    std::vector<double> storage;
    const std::vector<double>& counts = counts_on_scale(sample, count_scale(sample), storage);
    const auto from = first - sample.two_theta.begin();
    p.counts.assign(counts.begin() + from,
                    counts.begin() + from + static_cast<std::ptrdiff_t>(points));
    return p;
}

Outcome<std::vector<double>> standard_counts(const Pattern& standard, const Pattern& sample,
                                             const SamplePoints& points) {
    const std::string who = "The standard \"" + standard.name + "\"";
    const std::vector<double>& at = points.grid.two_theta;
    const double lo = at.front(), hi = at.back();
    const double wavelength = standard.wavelength.value_or(kCuKAlpha1);
    const double sample_wavelength = sample.wavelength.value_or(kCuKAlpha1);
    if (std::abs(wavelength - sample_wavelength) > 1e-4) {
        return Failure{who + " states a wavelength of " + number(wavelength) + " Å, the sample " +
                       number(sample_wavelength) +
                       " Å: a standard is measured with the sample's radiation"};
    }
    if (standard.two_theta.front() > lo || standard.two_theta.back() < hi) {
        return Failure{who + " covers " +
                       range_words(standard.two_theta.front(), standard.two_theta.back()) +
                       ", not the range " + points.range +
                       " the sample is analysed over: measure the standard over the sample's "
                       "range"};
    }
    const auto first = std::lower_bound(standard.two_theta.begin(), standard.two_theta.end(), lo);
    const auto last = std::upper_bound(standard.two_theta.begin(), standard.two_theta.end(), hi);
    const auto inside = static_cast<double>(last - first);
    const double step = inside > 1 ? (*(last - 1) - *first) / (inside - 1) : hi - lo;
    const double sample_step = (hi - lo) / static_cast<double>(at.size() - 1);
    if (step > sample_step * kStepTolerance) {
        return Failure{who + " has steps of " + degrees(step) + ", coarser than the sample's " +
                       degrees(sample_step) +
                       ": its peak cannot be carried to the sample's steps; measure it with "
                       "the sample's step or a finer one"};
    }
    std::vector<double> storage;
    const std::vector<double>& counts = counts_on_scale(standard, count_scale(standard), storage);
    std::vector<double> carried;
    carried.reserve(at.size());
    for (const double t : at) {
        carried.push_back(counts_at(standard, counts, t));
    }
    return carried;
}

std::optional<std::string> peak_refusal(const ProfileGrid& grid, const std::vector<double>& counts,
                                        const std::vector<double>& corrected,
                                        const std::string& who, const std::string& range) {
    const std::size_t n = counts.size();
    std::size_t top = n;
    double highest = 0;
    for (std::size_t i = kTopReach; i + kTopReach < n; ++i) {
        double sum = 0;
        for (std::size_t j = i - kTopReach; j <= i + kTopReach; ++j) {
            sum += corrected[j];
        }
        if (grid.reliable[i] && (top == n || sum > highest)) {
            top = i;
            highest = sum;
        }
    }
    double net = 0, variance = 0;
    for (std::size_t j = top - kTopReach; top < n && j <= top + kTopReach; ++j) {
        net += corrected[j] * grid.factor[j];
        variance += std::max(counts[j], 1.0);
    }
    if (top == n || !(net >= kLeastSignificance * std::sqrt(variance))) {
        return who + " shows no peak within " + range +
               ": its counts nowhere rise above the background by three standard deviations "
               "of their counting noise";
    }
    const std::size_t window = flank_window(n);
    if (top < window || top + window >= n) {
        return who + " rises towards the end of the range " + range + " (at " +
               degrees(grid.two_theta[top]) +
               ") instead of to a peak within it: give a range that holds the whole reflection";
    }
    return std::nullopt;
}

} // namespace teravine
