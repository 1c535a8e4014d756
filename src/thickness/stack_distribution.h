// SPDX-License-Identifier: GPL-3.0-or-later
// How many layers the stacks (the coherent crystallites along c*) of a clay hold: the share
// of the stacks of each thickness, and the lognormal family such distributions follow.
#pragma once

#include <cstddef>
#include <vector>

namespace teravine {

// Thicknesses beyond this many layers are left out of a distribution.
inline constexpr int kMostLayers = 100000;

struct ThicknessDistribution {
    std::vector<double> fraction; // fraction[n - 1]: the share of the stacks of n layers

    // The mean number of layers, each stack counted once.
    double mean() const;
};

// ln N normal of mean α and variance β².
struct Lognormal {
    double alpha = 0;
    double beta2 = 0;
};

// The lognormal over whole numbers of layers of Drits, Środoń & Eberl (1997, Clays Clay
// Miner. 45, 461-475) and Eberl, Drits, Środoń & Nüesch (1996, USGS Open-File Report
// 96-171): p(n) ∝ exp(-(ln n - α)² / 2β²) / n for n = 1, 2, ..., normalised over them,
// up to where the shares fall below 1e-12 of the largest. β² = 0: every stack holds the
// whole number nearest e^α.
ThicknessDistribution lognormal_distribution(const Lognormal& shape);

// The α whose distribution of this β² has the mean (at least 1 layer).
Lognormal lognormal_of_mean(double mean, double beta2);

// The lognormal with the distribution's mean and variance of ln n: α = Σ p(n) ln n,
// β² = Σ p(n) (ln n - α)², as Drits, Środoń & Eberl (1997) characterise a distribution.
Lognormal fitted_lognormal(const ThicknessDistribution& distribution);

// The weights of a stack's interference terms over the distribution: w[n] = Σ over the
// thicknesses N > n of (N - n) p(N), for n = 0 up to the thickest stack less one. A stack of
// N layers holds N - n pairs of layers n apart, so w[0] is the mean thickness and
// w[0] - w[1] = 1, one stack.
std::vector<double> interference_weights(const ThicknessDistribution& distribution);

// The inverse of interference_weights (Bertaut 1949, 1950): the share of stacks of n
// layers is the second difference of the weights there, w[n-1] - 2 w[n] + w[n+1], the
// weights beyond the last taken as 0. Coefficients measured with noise give negative
// differences too: these are set to 0, and so are those below 1e-12 of the largest (the
// rounding of equal coefficients); what remains is made to sum to 1. Nothing (an empty
// distribution) when no difference is positive.
// With a widening w above 0 the second difference at n is that of the parabola fitted to
// the weights over n ± max(1, ⌊w n⌋) (Savitzky & Golay 1964): the weights of thick stacks
// fall slowly, and their plain differences drown in the weights' noise.
ThicknessDistribution distribution_from_coefficients(const std::vector<double>& weights,
                                                     double widening = 0);

// How far either side of n the parabola of that widening reaches: max(1, ⌊widening n⌋).
std::size_t parabola_reach(std::size_t n, double widening);

} // namespace teravine
