// SPDX-License-Identifier: GPL-3.0-or-later
#include "peaks/peak_edges.h"

#include "formats/anode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace teravine {
namespace {

// The flank windows keep this many FWHM from the top: a Lorentzian falls to 3 % there.
constexpr double kWidthsClear = 3;
// A rise across a flank window of this share of the height is a tail, not a background.
constexpr double kTailShare = 0.05;

} // namespace

std::string peak_range_text(const PeakRange& range) {
    char text[64];
    std::snprintf(text, sizeof text, "%g:%g", range.lo, range.hi);
    return text;
}

std::size_t flank_window(std::size_t first, std::size_t last) {
    return std::max<std::size_t>(3, (last - first + 1) / 10);
}

FlankRise flank_rise(const std::vector<double>& x, const std::vector<double>& net,
                     const std::vector<double>& counts, std::size_t from, std::size_t to,
                     int towards) {
    const double n = static_cast<double>(to - from + 1);
    double mean_x = 0, mean_net = 0;
    for (std::size_t i = from; i <= to; ++i) {
        mean_x += x[i] / n;
        mean_net += net[i] / n;
    }
    double sxx = 0, sxy = 0, variance = 0;
    for (std::size_t i = from; i <= to; ++i) {
        sxx += (x[i] - mean_x) * (x[i] - mean_x);
        sxy += (x[i] - mean_x) * (net[i] - mean_net);
    }
    if (!(sxx > 0)) {
        return {};
    }
    for (std::size_t i = from; i <= to; ++i) {
        const double lever = (x[i] - mean_x) / sxx;
        variance += lever * lever * std::max(counts[i], 1.0);
    }
    const double across = (x[to] - x[from]) * towards;
    return {sxy / sxx * across, std::sqrt(variance) * std::abs(across)};
}

bool tail_reaches(const FlankRise& rise, double height) {
    return rise.rise > kTailShare * height && rise.rise > 4 * rise.sigma;
}

std::optional<HoldingRange> holding_range(const Pattern& pattern, double lo, double hi, double top,
                                          double fwhm) {
    const auto& x = pattern.two_theta;
    if (x.empty() || !(fwhm > 0) || !std::isfinite(top)) {
        return std::nullopt;
    }
    // Each end as far from the top as the clearance and its flank window, a tenth of the
    // range, need: d ≥ (3 FWHM + (far end's distance) / 10) / 0.9, settled in a few passes.
    double below = std::max(top - lo, 0.0), above = std::max(hi - top, 0.0);
    for (int pass = 0; pass < 4; ++pass) {
        below = std::max(below, (kWidthsClear * fwhm + above / 10) / 0.9);
        above = std::max(above, (kWidthsClear * fwhm + below / 10) / 0.9);
    }
    HoldingRange held;
    held.whole = top - below >= x.front() && top + above <= x.back();
    // On the Cu Kα scale, as a range is given: the pattern's ends and the range's.
    const auto on_copper = [&](double two_theta) -> std::optional<double> {
        if (is_copper(pattern.wavelength)) {
            return two_theta;
        }
        return carry_two_theta(two_theta, *pattern.wavelength, kCuKAlpha1);
    };
    const auto front = on_copper(x.front()), back = on_copper(x.back());
    const auto a = on_copper(std::max(top - below, x.front()));
    const auto b = on_copper(std::min(top + above, x.back()));
    if (!front || !back || !a || !b) {
        return std::nullopt;
    }
    // Outwards to a tenth of a degree, unless that leaves the pattern.
    held.range.lo = std::floor(*a * 10 + 1e-9) / 10;
    if (held.range.lo < *front) {
        held.range.lo = std::ceil(*a * 10 - 1e-9) / 10;
    }
    held.range.hi = std::ceil(*b * 10 - 1e-9) / 10;
    if (held.range.hi > *back) {
        held.range.hi = std::floor(*b * 10 + 1e-9) / 10;
    }
    if (!(held.range.lo < held.range.hi)) {
        return std::nullopt;
    }
    return held;
}

std::string edge_advice(const PeakWidth& width) {
    const bool reaches = width.quality.find(kEdge) != std::string::npos ||
                         width.quality.find(kFlank) != std::string::npos;
    if (!reaches) {
        return {};
    }
    if (!width.holding) {
        return "the peak reaches the flank of the range, where the background is taken";
    }
    const std::string text = "the peak reaches the flank of the range, where the background is "
                             "taken; ";
    if (width.holding_whole) {
        return text + "a range of " + peak_range_text(*width.holding) + " would hold it";
    }
    return text + "the pattern ends before a range that would hold it; the widest it allows is " +
           peak_range_text(*width.holding) + ", and a wider scan would be better";
}

} // namespace teravine
