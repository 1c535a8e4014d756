// SPDX-License-Identifier: GPL-3.0-or-later
#include "peaks/count_scale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace teravine {
namespace {

// The median of a χ² variable of one degree of freedom.
constexpr double kMedianChi2 = 0.454936;

std::string shortest(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

bool whole_counts(const Pattern& pattern) {
    return std::all_of(pattern.counts.begin(), pattern.counts.end(),
                       [](double y) { return y == std::floor(y); });
}

// Var(y) = g · y: g from the median of (y_i - (y_{i-1} + y_{i+1}) / 2)² / (1.5 y_i), whose
// differences take out the peaks' slopes and most of their curvature. The median keeps the
// few points on a peak's sharp top from counting.
double variance_per_intensity(const std::vector<double>& y) {
    std::vector<double> ratios;
    ratios.reserve(y.size());
    for (std::size_t i = 1; i + 1 < y.size(); ++i) {
        if (y[i] > 0 && y[i - 1] > 0 && y[i + 1] > 0) {
            const double r = y[i] - (y[i - 1] + y[i + 1]) / 2;
            ratios.push_back(r * r / (1.5 * y[i]));
        }
    }
    if (ratios.empty()) {
        return NAN;
    }
    const auto middle = ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2);
    std::nth_element(ratios.begin(), middle, ratios.end());
    return *middle / kMedianChi2;
}

} // namespace

const std::vector<double>& counts_on_scale(const Pattern& pattern, const CountScale& scale,
                                           std::vector<double>& storage) {
    if (scale.factor == 1) {
        return pattern.counts;
    }
    storage = pattern.counts;
    for (double& count : storage) {
        count *= scale.factor;
    }
    return storage;
}

CountScale count_scale(const Pattern& pattern) {
    if (pattern.units == CountUnits::per_second && pattern.counting_time &&
        *pattern.counting_time > 0 && std::isfinite(*pattern.counting_time)) {
        return {CountBasis::converted, *pattern.counting_time};
    }
    if (whole_counts(pattern)) {
        return {};
    }
    const double g = variance_per_intensity(pattern.counts);
    const double largest = *std::max_element(pattern.counts.begin(), pattern.counts.end());
    // Intensities without any noise are taken as counted a million times over their
    // largest: their widths come out exact, with an uncertainty next to none.
    const double least = std::max(largest, 1e-300) * 1e-6;
    return {CountBasis::estimated, 1 / (std::isfinite(g) && g > least ? g : least)};
}

std::string_view count_basis_name(CountBasis basis) {
    switch (basis) {
    case CountBasis::counted:
        return "counts";
    case CountBasis::converted:
        return "counting-time";
    case CountBasis::estimated:
        return "estimated";
    }
    return "counts";
}

std::string count_scale_note(const CountScale& scale, const Pattern& pattern) {
    switch (scale.basis) {
    case CountBasis::counted:
        return {};
    case CountBasis::converted:
        return "counts per second, converted to counts with the stated counting time of " +
               shortest(*pattern.counting_time) + " s a step";
    case CountBasis::estimated:
        return "intensities that are not whole counts: their noise is estimated from the "
               "data (one count is " +
               shortest(std::round(1e4 / scale.factor) / 1e4) + " of them)";
    }
    return {};
}

} // namespace teravine
