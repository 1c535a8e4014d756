// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/corrected_profile.h"

#include "thickness/layer_structure.h"
#include "thickness/lorentz_polarisation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace teravine {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kReliableShare = 0.25;
constexpr double kCentreLevel = 0.75;
constexpr std::size_t kSmoothing = 2; // points on either side
constexpr double kNegligibleShare = 1e-6;
// The flank windows lie at least this far from the centre, in periods.
constexpr double kNearestFlank = 0.15;
constexpr int kTableSteps = 4000;
// The table follows an oscillation of n layers, a period of 1/n, with eight steps or more a
// period up to this n; thicker stacks swing faster than it can follow, and over a flank
// window their cosines average out.
constexpr std::size_t kMostTableLayers = kTableSteps / 4;
constexpr double kNegligibleOscillation = 1e-3;

double factor_at(double two_theta, double wavelength) {
    const double f =
        layer_structure_factor(LayerKind::illite, reciprocal_distance(two_theta, wavelength));
    return oriented_lorentz_polarisation(two_theta) * f * f;
}

std::vector<double> smoothed(std::span<const double> z) {
    const std::size_t n = z.size();
    std::vector<double> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t from = i >= kSmoothing ? i - kSmoothing : 0;
        const std::size_t to = std::min(n - 1, i + kSmoothing);
        double sum = 0;
        for (std::size_t j = from; j <= to; ++j) {
            sum += z[j];
        }
        out[i] = sum / static_cast<double>(to - from + 1);
    }
    return out;
}

} // namespace

std::size_t flank_window(std::size_t points) {
    return std::max<std::size_t>(3, points / 10);
}

StraightLine flank_line(std::span<const double> two_theta, std::span<const double> counts) {
    const std::size_t n = two_theta.size();
    const std::size_t w = std::min(flank_window(n), n / 2);
    double x_lo = 0, y_lo = 0, x_hi = 0, y_hi = 0;
    for (std::size_t i = 0; i < w; ++i) {
        x_lo += two_theta[i];
        y_lo += counts[i];
        x_hi += two_theta[n - 1 - i];
        y_hi += counts[n - 1 - i];
    }
    const auto m = static_cast<double>(w);
    const double span = (x_hi - x_lo) / m;
    return {x_lo / m, y_lo / m, span > 0 ? (y_hi - y_lo) / m / span : 0};
}

ProfileGrid profile_grid(std::span<const double> two_theta, double wavelength) {
    ProfileGrid grid;
    const double first_order =
        360 / kPi * std::asin(wavelength / (2 * layer_spacing(LayerKind::illite)));
    const double least = kReliableShare * factor_at(first_order, wavelength);
    for (const double t : two_theta) {
        grid.two_theta.push_back(t);
        grid.s.push_back(reciprocal_distance(t, wavelength));
        grid.factor.push_back(factor_at(t, wavelength));
        grid.reliable.push_back(grid.factor.back() >= least);
    }
    return grid;
}

TailShape::TailShape(const ThicknessDistribution& distribution) {
    double counted = 0;
    for (const double p : distribution.fraction) {
        if (counted > 1 - kNegligibleShare || shares_.size() >= kMostTableLayers) {
            break;
        }
        shares_.push_back(p);
        counted += p;
    }
    for (int i = 0; i <= kTableSteps; ++i) {
        table_.push_back(oscillation(0.5 * i / kTableSteps));
    }
    // Where the oscillations stay below a thousandth of the tails wherever flanks may lie,
    // the plain shape serves.
    const auto first = static_cast<std::size_t>(kNearestFlank * 2 * kTableSteps);
    if (std::all_of(table_.begin() + static_cast<std::ptrdiff_t>(first), table_.end(),
                    [](double x) { return std::abs(x) < kNegligibleOscillation; })) {
        shares_.clear();
        table_.clear();
    }
}

// Σ p(n) cos(2πnu), the cosines by cos((n+1)x) = 2 cos x cos(nx) - cos((n-1)x).
double TailShape::oscillation(double u) const {
    const double step = std::cos(2 * kPi * u);
    double before = 1, now = step, sum = 0;
    for (const double p : shares_) {
        sum += p * now;
        const double next = 2 * step * now - before;
        before = now;
        now = next;
    }
    return sum;
}

double TailShape::at(double u) const {
    const double sine = std::sin(kPi * u);
    if (sine == 0) {
        return 0;
    }
    double chi = 0;
    if (!table_.empty()) {
        const double x = std::min(std::abs(u - std::round(u)), 0.5) * 2 * kTableSteps;
        const auto i = std::min(static_cast<std::size_t>(x), table_.size() - 2);
        chi = table_[i] + (x - static_cast<double>(i)) * (table_[i + 1] - table_[i]);
    }
    return (1 - chi) / (sine * sine);
}

FlankFit fit_flanks(const ProfileGrid& grid, std::span<const double> counts, double spacing,
                    double centre, const TailShape& shape) {
    const std::size_t n = counts.size();
    const std::size_t w = std::min(flank_window(n), n / 2);
    const StraightLine plain = flank_line(grid.two_theta, counts);
    // Normal equations of the three terms over both windows.
    double m[3][3] = {}, v[3] = {};
    for (std::size_t k = 0; k < 2 * w; ++k) {
        const std::size_t i = k < w ? k : n - 1 - (k - w);
        const double terms[3] = {1, grid.two_theta[i] - plain.x,
                                 grid.factor[i] * shape.at(spacing * (grid.s[i] - centre))};
        const double weight = 1 / std::max(counts[i], 1.0);
        for (int a = 0; a < 3; ++a) {
            for (int b = 0; b < 3; ++b) {
                m[a][b] += weight * terms[a] * terms[b];
            }
            v[a] += weight * terms[a] * counts[i];
        }
    }
    // Cramer's rule; a fit the windows cannot fix leaves the plain line.
    const auto det = [](const double(&x)[3][3]) {
        return x[0][0] * (x[1][1] * x[2][2] - x[1][2] * x[2][1]) -
               x[0][1] * (x[1][0] * x[2][2] - x[1][2] * x[2][0]) +
               x[0][2] * (x[1][0] * x[2][1] - x[1][1] * x[2][0]);
    };
    const double whole = det(m);
    if (!(std::abs(whole) > 0) || !std::isfinite(whole)) {
        return {plain, 0};
    }
    double solution[3];
    for (int c = 0; c < 3; ++c) {
        double replaced[3][3];
        for (int a = 0; a < 3; ++a) {
            for (int b = 0; b < 3; ++b) {
                replaced[a][b] = b == c ? v[a] : m[a][b];
            }
        }
        solution[c] = det(replaced) / whole;
    }
    if (!(solution[2] > 0)) {
        return {plain, 0};
    }
    return {{plain.x, solution[0], solution[1]}, solution[2]};
}

std::vector<double> corrected_profile(const ProfileGrid& grid, std::span<const double> counts,
                                      const StraightLine& background) {
    std::vector<double> z(counts.size());
    for (std::size_t i = 0; i < counts.size(); ++i) {
        z[i] = (counts[i] - background.at(grid.two_theta[i])) / grid.factor[i];
    }
    return z;
}

std::optional<ProfileCentre> profile_centre(const ProfileGrid& grid,
                                            std::span<const double> profile) {
    const std::size_t n = profile.size();
    const std::vector<double> z = smoothed(profile);
    std::size_t top = n;
    for (std::size_t i = 0; i < n; ++i) {
        if (grid.reliable[i] && (top == n || z[i] > z[top])) {
            top = i;
        }
    }
    if (top == n || top == 0 || top + 1 >= n) {
        return std::nullopt;
    }
    const double level = kCentreLevel * z[top];
    const auto crossing = [&](std::size_t inner, std::size_t outer) {
        const double t = (z[inner] - level) / (z[inner] - z[outer]);
        return grid.s[inner] + t * (grid.s[outer] - grid.s[inner]);
    };
    std::size_t left = top, right = top;
    while (left > 0 && z[left - 1] >= level) {
        --left;
    }
    while (right + 1 < n && z[right + 1] >= level && grid.reliable[right + 1]) {
        ++right;
    }
    if (left > 0 && right + 1 < n && grid.reliable[right + 1]) {
        return ProfileCentre{(crossing(left, left - 1) + crossing(right, right + 1)) / 2, true};
    }
    // The parabola's top through the three points about the top.
    const double s0 = grid.s[top - 1], s1 = grid.s[top], s2 = grid.s[top + 1];
    const double z0 = z[top - 1], z1 = z[top], z2 = z[top + 1];
    const double denominator = (s0 - s1) * (z1 - z2) - (s1 - s2) * (z0 - z1);
    if (denominator == 0) {
        return ProfileCentre{s1, false};
    }
    const double numerator = (s0 * s0 - s1 * s1) * (z1 - z2) - (s1 * s1 - s2 * s2) * (z0 - z1);
    return ProfileCentre{std::clamp(numerator / (2 * denominator), s0, s2), false};
}

} // namespace teravine
