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
// slope, or a curve fits both flanks' slopes better than the line by as many, and the two
// flanks lie apart by as many of their counts.
constexpr double kSteepSigmas = 3;

// The least rate of the curve, over the span between the anchors, by which it changes
// across it: a curve of no more is the line.
constexpr double kLeastChange = 1e-3;

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
// the slopes over the two flank windows.
struct Exponential {
    double amplitude = 0;
    double slope = 0;       // over the low-angle window, falling: positive
    double right_slope = 0; // over the high-angle window, falling: positive
};
Exponential exponential_of(double k, const FlankAnchor& left, const FlankAnchor& right) {
    const double span = right.x - left.x;
    const double drop = left.y - right.y;
    const double left_mean = spread_factor(k, left.spread);
    const double right_mean = portable_exp(-k * span) * spread_factor(k, right.spread);
    const double amplitude = drop / (left_mean - right_mean);
    const auto slope_over = [&](const FlankAnchor& window) {
        return amplitude * k * portable_exp(-k * (window.centre - left.x)) *
               window_slope_factor(k, window.span);
    };
    return {amplitude, slope_over(left), slope_over(right)};
}

// How far the slopes of c + A exp(-k d) stand from the two windows' own, as the sum of their
// squares in standard deviations of each window's slope (χ²).
double slope_misfit(double k, const FlankAnchor& left, const FlankAnchor& right) {
    const Exponential e = exponential_of(k, left, right);
    const double l = (e.slope + left.slope) / left.slope_sigma;
    const double r = (e.right_slope + right.slope) / right.slope_sigma;
    return l * l + r * r;
}

// The rate k of c + A exp(-k d), from (next to) none to `most`, whose slopes fit both windows'
// best: a scan over rates evenly spread on a log scale, refined by golden section around
// the best of them.
double fitted_rate(const FlankAnchor& left, const FlankAnchor& right, double least, double most) {
    constexpr int kSteps = 48;
    const double ratio = std::pow(most / least, 1.0 / kSteps);
    int best = 0;
    double best_misfit = INFINITY, k = least;
    for (int step = 0; step <= kSteps; ++step, k *= ratio) {
        const double misfit = slope_misfit(k, left, right);
        if (misfit < best_misfit) {
            best_misfit = misfit;
            best = step;
        }
    }
    double lo = least * std::pow(ratio, std::max(best - 1, 0));
    double hi = least * std::pow(ratio, std::min(best + 1, kSteps));
    constexpr double kGolden = 0.6180339887498949;
    for (int pass = 0; pass < 60; ++pass) {
        const double a = hi - kGolden * (hi - lo), b = lo + kGolden * (hi - lo);
        if (slope_misfit(a, left, right) < slope_misfit(b, left, right)) {
            hi = b;
        } else {
            lo = a;
        }
    }
    return (lo + hi) / 2;
}

// Whether the two windows' slopes call for a curve: the curve of the best rate up to `most`
// fits them better than the line (the curve of next to no rate) by more than kSteepSigmas
// standard deviations, a likelihood-ratio test of one parameter more, which a straight
// background passes by chance about one time in 700 (half a χ² of one degree of freedom
// beyond 9, the rate being held to one side of none).
bool bowed(const FlankAnchor& left, const FlankAnchor& right, double most) {
    const double least = kLeastChange / (right.x - left.x);
    if (!(left.slope_sigma > 0 && right.slope_sigma > 0 && std::isfinite(right.slope) &&
          most > 2 * least)) {
        return false;
    }
    const double rate = fitted_rate(left, right, least, most);
    return slope_misfit(least, left, right) - slope_misfit(rate, left, right) >
           kSteepSigmas * kSteepSigmas;
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

// How far the mean of the lower half ((n + 1) / 2 points) of n normal deviates lies below
// their mean, in standard deviations: the sum of the expected normal order statistics
// (David & Nagaraja, Order Statistics, 3rd ed. 2003, §3.1), integrated numerically from
// their densities, for n = 1..16.
constexpr double kLowerHalfShortfall[] = {
    0,        0.564190, 0.423142, 0.663193, 0.552661, 0.703503, 0.615565, 0.725291,
    0.652761, 0.738920, 0.677344, 0.748247, 0.694800, 0.755028, 0.707839, 0.760181};

// c(n) of the table, and beyond it √(2/π) − a/n + b/n², which tends to the mean of a normal's
// lower half, μ − σ√(2/π) (the truncated normal's: Johnson, Kotz & Balakrishnan, Continuous
// Univariate Distributions 1, 2nd ed. 1994, §13.10). a and b are fitted to the integrals at
// n = 37..40 (a = √(π/8) for even n; odd n take the median as well) and meet them within
// 5·10⁻⁵ from n = 17 on.
double lower_half_shortfall(std::size_t n) {
    if (n <= std::size(kLowerHalfShortfall)) {
        return n == 0 ? 0 : kLowerHalfShortfall[n - 1];
    }
    const double m = static_cast<double>(n);
    const bool odd = n % 2 == 1;
    const double a = odd ? 1.423489 : 0.626706, b = odd ? 1.109033 : 0.379332;
    return 0.7978845608028654 - a / m + b / (m * m);
}

// erf(z) / (2z / √π) for z ≥ 0, with the basic operations and the exponential that every
// build computes alike: below z = 2 by its Taylor series (Abramowitz & Stegun 7.1.5), from
// there on as 1 − erfc(z), erfc by its continued fraction (A&S 7.1.14), both to 10⁻¹⁵.
double erf_over_slope(double z) {
    if (z > 26) { // erfc(z) < 10⁻²⁹⁵
        return 0.8862269254527580 / z;
    }
    if (z < 2) {
        double term = 1, sum = 1;
        for (int k = 1; k < 60; ++k) {
            term *= -z * z / k;
            sum += term / (2 * k + 1);
        }
        return sum;
    }
    double fraction = z;
    for (int k = 60; k > 0; --k) {
        fraction = z + k / 2.0 / fraction;
    }
    constexpr double kRootPi = 1.7724538509055160;
    return (1 - portable_exp(-z * z) / kRootPi / fraction) * kRootPi / (2 * z);
}

// The share of c(n) that is left when the background changes by `drift` standard deviations
// across the window: the points are then sorted by the background as much as by their noise,
// the lower half is more the window's low side, and its noise is picked less. For points
// whose means spread evenly over ±drift/2 the lower half lies below their middle, where each
// point of mean m falls with probability Φ(−m) and gives up φ(m) of noise; averaged over the
// means the shortfall is 2 erf(drift/√8) / drift, against √(2/π) for a flat window.
double drift_share(double drift) {
    return erf_over_slope(std::abs(drift) / std::sqrt(8.0));
}

} // namespace

FlankAnchor flank_anchor(const std::vector<double>& x, const std::vector<double>& y,
                         const std::vector<double>& counts, std::size_t from, std::size_t count) {
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), from);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return y[a] < y[b] || (y[a] == y[b] && a < b); });
    const std::size_t used = (count + 1) / 2;
    const auto n = static_cast<double>(used);
    FlankAnchor anchor;
    double counted = 0;
    for (std::size_t k = 0; k < used; ++k) {
        anchor.x += x[order[k]];
        anchor.y += y[order[k]];
        counted += counts[order[k]];
    }
    anchor.x /= n;
    anchor.y /= n;
    counted = std::max(counted / n, 0.0);
    for (std::size_t k = 0; k < used; ++k) {
        anchor.spread += (x[order[k]] - anchor.x) * (x[order[k]] - anchor.x) / n;
    }
    const std::size_t to = from + count - 1;
    const double across = x[to] - x[from];
    anchor.span = across;
    for (std::size_t i = from; i <= to; ++i) {
        anchor.centre += x[i] / static_cast<double>(count);
    }
    if (across > 0) {
        const FlankRise rise = flank_rise(x, y, counts, from, to, +1);
        anchor.slope = rise.rise / across;
        anchor.slope_sigma = rise.sigma / across;
    }
    // The lower half of counts that only scatter about the background lies below it by c(n)
    // of their standard deviation σ = √μ, less as the background itself sorts the window's
    // points (drift_share): that much is added back. The drift is the window's change across
    // the span its points stand for, less in quadrature what its slope owes to noise; σ comes
    // from μ = ȳ + a √μ, ȳ the mean counts of the lower half, a twice refined with the drift.
    const double stands_for =
        count > 1 ? across * static_cast<double>(count) / static_cast<double>(count - 1) : 0.0;
    const double change = std::sqrt(
        std::max(anchor.slope * anchor.slope - anchor.slope_sigma * anchor.slope_sigma, 0.0));
    const double full = lower_half_shortfall(count);
    double a = full, sigma = 0;
    for (int pass = 0; pass < 2 && a > 0; ++pass) {
        sigma = (a + std::sqrt(a * a + 4 * counted)) / 2;
        a = full * drift_share(change * stands_for / sigma);
    }
    anchor.y += a * sigma;
    anchor.variance = std::max(anchor.y, 0.0) / n;
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
    const double most = 1 / left.span;
    const auto rate = exponential_rate(left, right, slope, most);
    // The low-angle flank alone may tell a steep rise; a gentle bow only both flanks' slopes.
    const bool steep = beyond > kSteepSigmas * left.slope_sigma;
    curved_ = rate && curved.value_or(drop > apart && (steep || bowed(left, right, most)));
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
