// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/simulated_pattern.h"

#include "peaks/count_draws.h"
#include "thickness/lorentz_polarisation.h"
#include "thickness/stack_intensity.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace teravine {
namespace {

constexpr double kLowestAngle = 1;    // 2θ; below it the beam stop hides everything
constexpr double kHighestAngle = 150; // 2θ
constexpr std::size_t kMostPoints = 100000;
// The instrument's profile is integrated over steps of at most this share of its FWHM, and
// its intensity carried in from this many FWHM beyond the range's ends.
constexpr double kKernelSteps = 8;
constexpr double kKernelMargin = 20;
// Stacks of several kinds of layer cost a matrix product per pair of layers.
constexpr std::size_t kMostMixedReach = 5000;
// Pairs of layers summed over the whole pattern: some seconds.
constexpr double kMostWork = 2e9;

double pseudo_voigt_cdf(double x, double fwhm, double lorentzian) {
    const double lorentz = 0.5 + std::atan(2 * x / fwhm) / std::numbers::pi;
    const double sigma = fwhm / (2 * std::sqrt(2 * std::log(2.0)));
    const double gauss = 0.5 * (1 + std::erf(x / (sigma * std::sqrt(2.0))));
    return lorentzian * lorentz + (1 - lorentzian) * gauss;
}

std::optional<std::string> request_problem(const SimulationRequest& r) {
    if (!(r.lo >= kLowestAngle && r.hi <= kHighestAngle && r.lo < r.hi)) {
        return "the range lies between 1° and 150° 2θ, its low end first";
    }
    if (!(r.step > 0) || (r.hi - r.lo) / r.step >= static_cast<double>(kMostPoints)) {
        return "the step is positive and makes at most 100000 points";
    }
    if (!(r.broadening >= 0 && r.broadening <= 5)) {
        return "the instrument's FWHM lies between 0 and 5° 2θ";
    }
    if (!(r.lorentzian_share >= 0 && r.lorentzian_share <= 1)) {
        return "the Lorentzian share of the instrument's profile lies between 0 and 1";
    }
    if (!(r.alpha2_ratio >= 0 && r.alpha2_ratio <= 1)) {
        return "the Kα2 ratio lies between 0 and 1";
    }
    if (!(r.top > 0 && r.top <= 1e9) || !(r.background_lo >= 0 && r.background_lo <= 1e9) ||
        !(r.background_hi >= 0 && r.background_hi <= 1e9)) {
        return "counts lie between 0 and 1e9, the peak's above 0";
    }
    if (!std::isfinite(r.thickness.alpha) || !(r.thickness.beta2 >= 0 && r.thickness.beta2 <= 4)) {
        return "the lognormal's β² lies between 0 and 4, and its α is a number";
    }
    return std::nullopt;
}

} // namespace

Outcome<Pattern> simulate_pattern(const SimulationRequest& r) {
    if (const auto problem = request_problem(r)) {
        return Failure{*problem};
    }
    const auto chain = layer_sequence(r.smectite, r.reichweite, r.smectite_kind);
    if (!chain) {
        return Failure{chain.error()};
    }
    const StackIntensity stacks(chain.value(), lognormal_distribution(r.thickness));
    if (chain->states() > 1 && stacks.reach() > kMostMixedReach) {
        return Failure{"stacks of illite-smectite are simulated up to " +
                       std::to_string(kMostMixedReach) +
                       " layers thick; this distribution "
                       "reaches " +
                       std::to_string(stacks.reach())};
    }
    const auto points = static_cast<std::size_t>(std::floor((r.hi - r.lo) / r.step + 1e-9)) + 1;
    // Cells of the fine grid: `per_point` to a point's step, `margin` beyond either end.
    const std::size_t per_point =
        r.broadening > 0 ? static_cast<std::size_t>(std::clamp(
                               std::ceil(kKernelSteps * r.step / r.broadening), 1.0, 64.0))
                         : 1;
    const double cell = r.step / static_cast<double>(per_point);
    const std::size_t margin =
        r.broadening > 0 ? static_cast<std::size_t>(std::ceil(kKernelMargin * r.broadening / cell))
                         : 0;
    const std::size_t cells = points * per_point + 2 * margin;
    // The pairs of layers summed, which is where the time goes.
    const double work = static_cast<double>(cells) * (r.alpha2_ratio > 0 ? 2 : 1) *
                        static_cast<double>(stacks.reach()) *
                        static_cast<double>(chain->states() * chain->states());
    if (work > kMostWork) {
        return Failure{"so many points and stacks this thick would take too long to simulate: "
                       "give fewer points, a coarser step or thinner stacks"};
    }
    const double first_cell = r.lo - r.step / 2 - static_cast<double>(margin) * cell + cell / 2;
    std::vector<double> diffracted(cells, 0.0);
    const double degree = std::numbers::pi / 180;
    for (std::size_t j = 0; j < cells; ++j) {
        const double two_theta = first_cell + static_cast<double>(j) * cell;
        if (two_theta < kLowestAngle / 2 || two_theta > 180 - kLowestAngle / 2) {
            continue;
        }
        // The cell's width in s: ds = cos θ d(2θ) / λ.
        const double width = std::cos(two_theta * degree / 2) * cell * degree;
        double sum =
            stacks.at(reciprocal_distance(two_theta, r.anode.alpha1), width / r.anode.alpha1);
        if (r.alpha2_ratio > 0) {
            sum += r.alpha2_ratio * stacks.at(reciprocal_distance(two_theta, r.anode.alpha2),
                                              width / r.anode.alpha2);
        }
        diffracted[j] = oriented_lorentz_polarisation(two_theta) * sum;
    }
    std::vector<double> measured(points, 0.0);
    std::vector<double> kernel;
    if (r.broadening > 0) {
        // The instrument's share that lands d cells away: its profile integrated over a cell.
        kernel.resize(2 * cells - 1);
        for (std::size_t i = 0; i < kernel.size(); ++i) {
            const double d = (static_cast<double>(i) - static_cast<double>(cells - 1)) * cell;
            kernel[i] = pseudo_voigt_cdf(d + cell / 2, r.broadening, r.lorentzian_share) -
                        pseudo_voigt_cdf(d - cell / 2, r.broadening, r.lorentzian_share);
        }
    }
    for (std::size_t i = 0; i < points; ++i) {
        double sum = 0;
        for (std::size_t c = 0; c < per_point; ++c) {
            const std::size_t j = margin + i * per_point + c;
            if (kernel.empty()) {
                sum += diffracted[j];
                continue;
            }
            const double* to_j = kernel.data() + (cells - 1 + j);
            for (std::size_t k = 0; k < cells; ++k) {
                sum += diffracted[k] * *(to_j - k);
            }
        }
        measured[i] = sum / static_cast<double>(per_point);
    }
    const double highest = *std::max_element(measured.begin(), measured.end());
    if (!(highest > 0)) {
        return Failure{"the layers diffract nothing within the range"};
    }
    Pattern pattern;
    pattern.name = "simulated";
    pattern.wavelength = r.anode.alpha1;
    pattern.alpha2 = r.anode.alpha2;
    pattern.alpha2_ratio = r.alpha2_ratio;
    pattern.anode = std::string(r.anode.symbol);
    std::optional<CountDraws> draws;
    if (r.seed) {
        draws.emplace(*r.seed);
    }
    for (std::size_t i = 0; i < points; ++i) {
        const double two_theta = r.lo + static_cast<double>(i) * r.step;
        const double along = (two_theta - r.lo) / (r.hi - r.lo);
        const double expected = measured[i] * (r.top / highest) + r.background_lo +
                                along * (r.background_hi - r.background_lo);
        pattern.two_theta.push_back(two_theta);
        pattern.counts.push_back(draws ? draws->count(expected) : expected);
    }
    return pattern;
}

} // namespace teravine
