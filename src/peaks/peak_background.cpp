// SPDX-License-Identifier: GPL-3.0-or-later
#include "peaks/peak_background.h"

#include "peaks/count_draws.h"
#include "peaks/peak_edges.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

namespace teravine {
namespace {

// The low-angle flank is steeper than the chord by this many standard deviations of its
// slope, and the two flanks apart by as many of their counts.
constexpr double kSteepSigmas = 3;

// The mean of exp(-k d) over points whose d spread with variance v about their mean, over
// its value at that mean: exp(k² v / 2), to the second order in k d.
double spread_factor(double k, double v) {
    return 1 + k * k * v / 2;
}

// The least-squares slope of exp(-k d) over a window of even steps spanning `span`, over its
// slope at the window's middle: 1 + k² span² / 40, to the second order.
double window_slope_factor(double k, double span) {
    return 1 + k * k * span * span / 40;
}

// What a rate k gives of c + A exp(-k d) through both anchors, as their mean counts: A, and
// the slope over the low-angle window. The rate sought gives that window's slope.
struct Exponential {
    double amplitude = 0;
    double slope = 0; // falling: positive
};
Exponential exponential_of(double k, const FlankAnchor& left, const FlankAnchor& right) {
    const double span = right.x - left.x;
    const double drop = left.y - right.y;
    const double left_mean = spread_factor(k, left.spread);
    const double right_mean = portable_exp(-k * span) * spread_factor(k, right.spread);
    const double amplitude = drop / (left_mean - right_mean);
    const double middle = left.centre - left.x;
    return {amplitude,
            amplitude * k * portable_exp(-k * middle) * window_slope_factor(k, left.span)};
}

// The rate k of c + A exp(-k d) whose slope over the low-angle window is `slope`, by
// bisection: the slope grows with k from the chord's (k = 0) without bound. Nothing when
// no rate up to `most` gives it.
std::optional<double> exponential_rate(const FlankAnchor& left, const FlankAnchor& right,
                                       double slope, double most) {
    double lo = 1e-9 / (right.x - left.x), hi = most;
    if (!(exponential_of(hi, left, right).slope >= slope) ||
        !(exponential_of(lo, left, right).slope < slope)) {
        return std::nullopt;
    }
    for (int pass = 0; pass < 100; ++pass) {
        const double k = (lo + hi) / 2;
        (exponential_of(k, left, right).slope < slope ? lo : hi) = k;
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
    const auto n = static_cast<double>(used);
    FlankAnchor anchor;
    for (std::size_t k = 0; k < used; ++k) {
        anchor.x += x[order[k]];
        anchor.y += y[order[k]];
    }
    anchor.x /= n;
    anchor.y /= n;
    for (std::size_t k = 0; k < used; ++k) {
        anchor.spread += (x[order[k]] - anchor.x) * (x[order[k]] - anchor.x) / n;
    }
    anchor.variance = std::max(anchor.y, 0.0) / n;
    const std::size_t to = from + count - 1;
    const double across = x[to] - x[from];
    anchor.span = across;
    for (std::size_t i = from; i <= to; ++i) {
        anchor.centre += x[i] / static_cast<double>(count);
    }
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
    const auto rate = exponential_rate(left, right, slope, 1 / left.span);
    curved_ = rate && curved.value_or(beyond > kSteepSigmas * left.slope_sigma && drop > apart);
    if (!curved_) {
        return;
    }
    rate_ = *rate;
    amplitude_ = exponential_of(rate_, left, right).amplitude;
    base_ = left.y - amplitude_ * spread_factor(rate_, left.spread);
}

double FlankBackground::at(double two_theta) const {
    if (curved_) {
        // Through the low-angle window as the exponential, beyond its start along the tangent.
        const double start = left_.centre - left_.span / 2 - left_.x;
        const double d = two_theta - left_.x;
        const double e = portable_exp(-rate_ * std::max(d, start));
        return base_ + amplitude_ * (d >= start ? e : e * (1 - rate_ * (d - start)));
    }
    return left_.y + (right_.y - left_.y) / (right_.x - left_.x) * (two_theta - left_.x);
}

double FlankBackground::variance(double two_theta) const {
    const double f = std::clamp((two_theta - left_.x) / (right_.x - left_.x), 0.0, 1.0);
    return (1 - f) * (1 - f) * left_.variance + f * f * right_.variance;
}

} // namespace teravine
