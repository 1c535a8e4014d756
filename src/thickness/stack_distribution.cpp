// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/stack_distribution.h"

#include <algorithm>
#include <cmath>

namespace teravine {
namespace {

// Shares below this part of the largest are left out.
constexpr double kNegligible = 1e-12;

} // namespace

double ThicknessDistribution::mean() const {
    double total = 0, layers = 0;
    for (std::size_t i = 0; i < fraction.size(); ++i) {
        total += fraction[i];
        layers += static_cast<double>(i + 1) * fraction[i];
    }
    return total > 0 ? layers / total : 0;
}

ThicknessDistribution lognormal_distribution(const Lognormal& shape) {
    ThicknessDistribution d;
    if (!(shape.beta2 > 0)) {
        const double n =
            std::clamp(std::round(std::exp(shape.alpha)), 1.0, static_cast<double>(kMostLayers));
        d.fraction.assign(static_cast<std::size_t>(n), 0.0);
        d.fraction.back() = 1;
        return d;
    }
    // The largest share lies near e^(α - β²); beyond it the shares only fall.
    const double beta = std::sqrt(shape.beta2);
    const double reach = std::exp(shape.alpha + beta * std::sqrt(-2 * std::log(kNegligible)));
    const auto last =
        static_cast<int>(std::clamp(std::ceil(reach), 1.0, static_cast<double>(kMostLayers)));
    d.fraction.resize(static_cast<std::size_t>(last));
    double total = 0;
    for (int n = 1; n <= last; ++n) {
        const double z = std::log(n) - shape.alpha;
        d.fraction[static_cast<std::size_t>(n - 1)] = std::exp(-z * z / (2 * shape.beta2)) / n;
        total += d.fraction[static_cast<std::size_t>(n - 1)];
    }
    const double largest = *std::max_element(d.fraction.begin(), d.fraction.end());
    for (double& p : d.fraction) {
        p = p < kNegligible * largest ? 0 : p / total;
    }
    while (d.fraction.size() > 1 && d.fraction.back() == 0) {
        d.fraction.pop_back();
    }
    return d;
}

Lognormal lognormal_of_mean(double mean, double beta2) {
    mean = std::clamp(mean, 1.0, static_cast<double>(kMostLayers));
    if (!(beta2 > 0)) {
        return {std::log(mean), 0};
    }
    // The mean grows with α; from far below (all stacks of one layer) to well above.
    double lo = std::log(mean) - beta2 / 2 - 10 * std::sqrt(beta2) - 2;
    double hi = std::log(mean) + 1;
    for (int pass = 0; pass < 100 && hi - lo > 1e-12; ++pass) {
        const double mid = (lo + hi) / 2;
        (lognormal_distribution({mid, beta2}).mean() < mean ? lo : hi) = mid;
    }
    return {(lo + hi) / 2, beta2};
}

Lognormal fitted_lognormal(const ThicknessDistribution& distribution) {
    double total = 0, sum = 0, sum2 = 0;
    for (std::size_t i = 0; i < distribution.fraction.size(); ++i) {
        const double p = distribution.fraction[i];
        const double l = std::log(static_cast<double>(i + 1));
        total += p;
        sum += p * l;
        sum2 += p * l * l;
    }
    if (!(total > 0)) {
        return {};
    }
    const double alpha = sum / total;
    return {alpha, std::max(sum2 / total - alpha * alpha, 0.0)};
}

std::vector<double> interference_weights(const ThicknessDistribution& distribution) {
    const std::size_t thickest = distribution.fraction.size();
    std::vector<double> w(thickest, 0.0);
    // Running from the thickest down: the stacks thicker than n, and their layers.
    double stacks = 0, layers = 0;
    for (std::size_t n = thickest; n-- > 0;) {
        // Stacks of n + 1 layers are thicker than n.
        stacks += distribution.fraction[n];
        layers += static_cast<double>(n + 1) * distribution.fraction[n];
        w[n] = layers - static_cast<double>(n) * stacks;
    }
    return w;
}

std::size_t parabola_reach(std::size_t n, double widening) {
    return std::max<std::size_t>(1, static_cast<std::size_t>(widening * static_cast<double>(n)));
}

ThicknessDistribution distribution_from_coefficients(const std::vector<double>& weights,
                                                     double widening) {
    const auto at = [&](std::size_t n) { return n < weights.size() ? weights[n] : 0.0; };
    ThicknessDistribution d;
    for (std::size_t n = 1; n <= weights.size(); ++n) {
        const std::size_t reach = parabola_reach(n, widening);
        // The parabola's second derivative: 2 Σ P2(j) w(n + j) / Σ P2(j)², with P2(j) =
        // j² - h(h + 1)/3 the quadratic orthogonal to 1 and j over j = -h..h; for h = 1 the
        // plain second difference.
        const auto h = static_cast<double>(reach);
        const double mean_square = h * (h + 1) / 3;
        double sum = 0, norm = 0;
        for (std::size_t j = n - reach; j <= n + reach; ++j) {
            const double offset = static_cast<double>(j) - static_cast<double>(n);
            const double p2 = offset * offset - mean_square;
            sum += p2 * at(j);
            norm += p2 * p2;
        }
        d.fraction.push_back(std::max(2 * sum / norm, 0.0));
    }
    // Differences of coefficients that are equal but for rounding are nothing.
    const double largest =
        d.fraction.empty() ? 0 : *std::max_element(d.fraction.begin(), d.fraction.end());
    double total = 0;
    for (double& p : d.fraction) {
        p = p < kNegligible * largest ? 0 : p;
        total += p;
    }
    while (!d.fraction.empty() && d.fraction.back() == 0) {
        d.fraction.pop_back();
    }
    if (!(total > 0)) {
        return {};
    }
    for (double& p : d.fraction) {
        p /= total;
    }
    return d;
}

} // namespace teravine
