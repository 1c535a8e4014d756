// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/coefficient_series.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace teravine {
namespace {

constexpr double kPi = std::numbers::pi;

} // namespace

CoefficientSeries::CoefficientSeries(const ProfileGrid& grid, std::span<const double> corrected,
                                     double spacing, double centre, const TailShape& shape)
    : shares_(shape.shares()) {
    const std::size_t n = grid.s.size();
    std::vector<double> u(n);
    for (std::size_t i = 0; i < n; ++i) {
        u[i] = spacing * (grid.s[i] - centre);
    }
    // The low-angle side within the period: first..last, the centre before the point after.
    std::size_t first = 0;
    while (first < n && !(u[first] > -0.5)) {
        ++first;
    }
    std::size_t after = first;
    while (after < n && u[after] <= 0) {
        ++after;
    }
    // At least two points below the centre, one above, and four to interpolate through.
    if (after < first + 2 || after == n || first + 4 > n) {
        return;
    }
    const double step = (u[after - 1] - u[first]) / static_cast<double>(after - 1 - first);
    const auto nodes = static_cast<std::size_t>(std::floor(-u[first] / step + 1e-9));
    // The profile at u = -j step by the cubic through the four points about it.
    weighted_.resize(nodes + 1);
    std::size_t below = after - 1;
    for (std::size_t j = 0; j <= nodes; ++j) {
        const double at = -static_cast<double>(j) * step;
        while (below > first && u[below] > at) {
            --below;
        }
        const std::size_t from = std::clamp(below, first + 1, n - 3) - 1;
        double value = 0;
        for (std::size_t a = from; a < from + 4; ++a) {
            double basis = 1;
            for (std::size_t b = from; b < from + 4; ++b) {
                if (b != a) {
                    basis *= (at - u[b]) / (u[a] - u[b]);
                }
            }
            value += basis * corrected[a];
        }
        weighted_[j] = value * (j == 0 || j == nodes ? step / 2 : step);
    }
    step_ = step;
    resolution_ = static_cast<std::size_t>(std::clamp(std::floor(0.5 / step), 2.0, 1e6));
    // ρ_m of 1 / sin²(πu) from -1/2 to the last node, twice: Φ_m(u_J) - Φ_m(-1/2), where
    // Φ_m(u) = -cot(πu)/π - 2 (m u + Σ_{0<j<m} (m - j) sin(2πju) / (πj)) is its
    // antiderivative, m at -1/2; with p and q the sums Σ sin(2πju) / (πj) and Σ sin(2πju) / π
    // over 0 < j < m.
    const double u_first = -static_cast<double>(nodes) * step;
    const std::size_t reach = resolution_ + shares_.size() + 2;
    double p = 0, q = 0;
    for (std::size_t m = 0; m <= reach; ++m) {
        const auto k = static_cast<double>(m);
        const double phi = -1 / (std::tan(kPi * u_first) * kPi) - 2 * (k * u_first + k * p - q);
        plain_beyond_.push_back(2 * (phi - k));
        if (m > 0) {
            p += std::sin(2 * kPi * k * u_first) / (kPi * k);
            q += std::sin(2 * kPi * k * u_first) / kPi;
        }
    }
    const double share = 2 - beyond(0) + beyond(1);
    if (share > 0) {
        tail_ = (raw(0) - raw(1)) / share;
    }
}

// Twice Σ w_j f_j cos(2πk u_j) over the nodes, by Clenshaw's recurrence.
double CoefficientSeries::raw(std::size_t k) const {
    if (weighted_.empty()) {
        return 0;
    }
    const double twice_cos = 2 * std::cos(2 * kPi * static_cast<double>(k) * step_);
    double b1 = 0, b2 = 0;
    for (std::size_t j = weighted_.size(); j-- > 1;) {
        const double b0 = weighted_[j] + twice_cos * b1 - b2;
        b2 = b1;
        b1 = b0;
    }
    return 2 * (weighted_[0] + b1 * twice_cos / 2 - b2);
}

double CoefficientSeries::beyond(std::size_t k) const {
    const auto plain = [&](std::size_t m) {
        return m < plain_beyond_.size() ? plain_beyond_[m] : 0.0;
    };
    double rho = plain(k);
    for (std::size_t n = 1; n <= shares_.size(); ++n) {
        rho -= shares_[n - 1] * (plain(k + n) + plain(k > n ? k - n : n - k)) / 2;
    }
    return rho;
}

double CoefficientSeries::next() {
    const std::size_t k = served_++;
    return raw(k) + beyond(k) * tail_;
}

} // namespace teravine
