// SPDX-License-Identifier: GPL-3.0-or-later
#include "peaks/peak_background.h"

#include "peaks/peak_edges.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace teravine {
namespace {

// The low-angle flank is steeper than the chord by this many standard deviations of its
// slope, and the two flanks apart by as many of their counts.
constexpr double kSteepSigmas = 3;

// The rate k of c + A exp(-k d) that falls by `drop` over `span` with a slope of `slope`
// (both positive) at d = 0: (1 - exp(-k span)) / k = drop / slope, which falls from span
// at k = 0 towards 0; it is below 1 / k, so k lies below slope / drop.
double exponential_rate(double drop, double span, double slope) {
    const double target = drop / slope;
    double lo = 0, hi = slope / drop;
    for (int pass = 0; pass < 100; ++pass) {
        const double k = (lo + hi) / 2;
        const double g = k > 0 ? -std::expm1(-k * span) / k : span;
        (g > target ? lo : hi) = k;
    }
    return (lo + hi) / 2;
}

} // namespace

FlankAnchor flank_anchor(const std::vector<double>& x, const std::vector<double>& y,
                         std::size_t from, std::size_t count) {
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), from);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return y[a] < y[b] || (y[a] == y[b] && a < b); });
    const std::size_t used = (count + 1) / 2;
    FlankAnchor anchor;
    for (std::size_t k = 0; k < used; ++k) {
        anchor.x += x[order[k]];
        anchor.y += y[order[k]];
    }
    anchor.x /= static_cast<double>(used);
    anchor.y /= static_cast<double>(used);
    anchor.variance = std::max(anchor.y, 0.0) / static_cast<double>(used);
    const std::size_t to = from + count - 1;
    const double across = x[to] - x[from];
    anchor.span = across;
    if (across > 0) {
        const FlankRise rise = flank_rise(x, y, y, from, to, +1);
        anchor.slope = rise.rise / across;
        anchor.slope_sigma = rise.sigma / across;
    }
    return anchor;
}

FlankBackground::FlankBackground(const FlankAnchor& left, const FlankAnchor& right,
                                 std::optional<bool> curved)
    : left_(left), right_(right) {
    const double span = right.x - left.x;
    if (!(span > 0)) {
        return;
    }
    const double chord = (right.y - left.y) / span;
    // Only the low-angle flank rises so: a high one at the high-angle end is a peak's side.
    const double drop = left.y - right.y;
    const double slope = -left.slope; // > 0: falling towards higher angles
    const double beyond = slope - std::abs(chord);
    const double apart = kSteepSigmas * std::sqrt(left.variance + right.variance);
    if (!(drop > 0 && beyond > 0 && std::isfinite(slope))) {
        return;
    }
    const double rate = exponential_rate(drop, span, slope);
    const bool can = rate * left.span <= 1;
    curved_ = can && curved.value_or(beyond > kSteepSigmas * left.slope_sigma && drop > apart);
    if (!curved_) {
        return;
    }
    rate_ = rate;
    amplitude_ = slope / rate_;
    base_ = left.y - amplitude_;
}

double FlankBackground::at(double two_theta) const {
    if (curved_) {
        const double d = two_theta - left_.x;
        return base_ + amplitude_ * (d >= 0 ? std::exp(-rate_ * d) : 1 - rate_ * d);
    }
    return left_.y + (right_.y - left_.y) / (right_.x - left_.x) * (two_theta - left_.x);
}

double FlankBackground::variance(double two_theta) const {
    const double f = std::clamp((two_theta - left_.x) / (right_.x - left_.x), 0.0, 1.0);
    return (1 - f) * (1 - f) * left_.variance + f * f * right_.variance;
}

} // namespace teravine
