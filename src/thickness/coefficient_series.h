// SPDX-License-Identifier: GPL-3.0-or-later
// The Fourier coefficients of illite's 001 reflection over one period of the reciprocal
// lattice, from its low-angle side, the tails that the range's end cuts off restored.
#pragma once

#include "thickness/corrected_profile.h"

#include <span>
#include <vector>

namespace teravine {

// The coefficients H_k = ∫ I(u) cos(2πku) du of the corrected profile I over the period
// u = d (s - s_centre) in [-1/2, 1/2], k = 0, 1, 2, ... The interference of stacks of
// layers is symmetric about the reflection's centre, and its low-angle side lies where
// illite's structure factor holds: the profile is taken as its low-angle side and the mirror
// image of it, H_k = 2 ∫ from -1/2 to 0. The low-angle side is carried by four-point
// interpolation onto even steps of u that end at the centre, where the trapezoid rule is
// exact but for terms in the profile's odd derivatives, which vanish at a symmetric top. The
// tails beyond the range's first point are restored as c times the tail shape: a stack's
// pairs of layers n apart number N - n, so H_0 - H_1 is one per stack, and so is 2c. With
// ρ_k the coefficients of the shape beyond the first point (of 1 / sin²(πu) by the identity
// cos 2πku / sin²πu = 1 / sin²πu - 2 Σ_|j|<k (k - |j|) cos 2πju, and of χ's terms by
// cos a cos b = (cos(a + b) + cos(a - b)) / 2), c = (H_0 - H_1) / (2 - ρ_0 + ρ_1) and
// ρ_k c is added to H_k: the correction of the truncation's hook effect.
class CoefficientSeries {
public:
    CoefficientSeries(const ProfileGrid& grid, std::span<const double> corrected, double spacing,
                      double centre, const TailShape& shape = {});

    // The next coefficient, k = 0 first.
    double next();
    // The tails restored, c; not positive when the tails cannot be restored.
    double tail() const { return tail_; }
    // How many coefficients the steps of the low-angle side resolve: half a period over a
    // step.
    std::size_t resolution() const { return resolution_; }

private:
    double raw(std::size_t k) const;    // H_k as measured
    double beyond(std::size_t k) const; // ρ_k

    std::vector<double> weighted_; // the profile at u_j = -j step, times its weight
    double step_ = 0;
    std::vector<double> plain_beyond_; // ρ_k of 1 / sin²(πu)
    std::vector<double> shares_;       // of the tail shape's distribution
    std::size_t served_ = 0;           // coefficients handed out
    double tail_ = 0;
    std::size_t resolution_ = 2;
};

} // namespace teravine
