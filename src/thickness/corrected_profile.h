// SPDX-License-Identifier: GPL-3.0-or-later
// Illite's 001 reflection as the stacks' interference alone makes it: the range's points
// with the factor the counts are divided by, the background told from the reflection's
// tails, and the reflection's centre.
#pragma once

#include "thickness/stack_distribution.h"

#include <optional>
#include <span>
#include <vector>

namespace teravine {

// A straight line through (x, y) of the given slope.
struct StraightLine {
    double x = 0, y = 0, slope = 0;
    double at(double t) const { return y + slope * (t - x); }
};

// The points of each flank window: a tenth of the range's points, at least 3.
std::size_t flank_window(std::size_t points);

// The straight line through the mean 2θ and the mean count of the flank window at each end:
// a first background, before the reflection's centre is known.
StraightLine flank_line(std::span<const double> two_theta, std::span<const double> counts);

// The points of the range as the analysis takes them: 2θ (degrees), s = 2 sin θ / λ, and
// the factor the net counts are divided by, the oriented Lorentz-polarisation factor times
// the square of the illite layer's structure factor.
struct ProfileGrid {
    std::vector<double> two_theta, s, factor;
    // Where the factor is at least a quarter of its value at the 10 Å layers' 001: the
    // structure factor of illite passes through zero not far above it (near 9.8° 2θ Cu Kα),
    // where the net counts over the factor would be counts over nothing.
    std::vector<bool> reliable;
};
ProfileGrid profile_grid(std::span<const double> two_theta, double wavelength);

// How the stacks' interference falls away from the reflection's centre, for c = 1:
// (1 - Re χ(u)) / sin²(πu), χ(u) = Σ p(n) exp(2πinu) over the distribution of the stacks'
// thicknesses, which is the mean of their interference functions sin²(πNu) / sin²(πu)
// (Σ p(N) sin²(πNu) = (1 - Re χ(u)) / 2) exactly. Without a distribution, 1 / sin²(πu):
// χ's oscillations taken to average out, as they do away from the centre unless the stacks
// are thin.
class TailShape {
public:
    TailShape() = default;
    // The distribution's shares up to where all but a millionth of the stacks are counted,
    // and up to 1,000 layers; the thicker ones oscillate too fast to matter.
    explicit TailShape(const ThicknessDistribution& distribution);
    double at(double u) const;
    // p(n), n = 1, 2, ...; none without a distribution.
    const std::vector<double>& shares() const { return shares_; }

private:
    double oscillation(double u) const; // Re χ(u)

    std::vector<double> shares_;
    // Re χ over u = 0 to 1/2 in even steps, read between them by straight lines: the flanks
    // are fitted at many points, many times.
    std::vector<double> table_;
};

// The counts in the flank windows as a straight background and the reflection's tails
// there: a + b (2θ - 2θ̄) + c factor shape(u), u = d (s - centre), by least squares
// weighted by the counts' Poisson variance. The tails of stacks of layers follow the shape
// in the corrected profile, so the background is told from them by their shape and does not
// take them away.
struct FlankFit {
    StraightLine background;
    double tail = 0; // c
};
FlankFit fit_flanks(const ProfileGrid& grid, std::span<const double> counts, double spacing,
                    double centre, const TailShape& shape);

// The counts less the background, over the factor: the reflection as the stacks'
// interference alone makes it.
std::vector<double> corrected_profile(const ProfileGrid& grid, std::span<const double> counts,
                                      const StraightLine& background);

// The s of the reflection's centre: the middle of the two points where the profile,
// averaged over five points, falls to three quarters of its height on either side of its
// highest reliable point (`crossed`); where the high-angle one lies beyond the reliable
// points, the top of the parabola through the three highest, which a profile so broad
// places only roughly. Nothing when the top lies at an end.
struct ProfileCentre {
    double s = 0;
    bool crossed = false;
};
std::optional<ProfileCentre> profile_centre(const ProfileGrid& grid,
                                            std::span<const double> profile);

} // namespace teravine
