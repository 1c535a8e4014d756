// SPDX-License-Identifier: GPL-3.0-or-later
// The intensity that stacks of layers scatter along the 00l row, their thicknesses drawn
// from a distribution and their layers laid by a Markov chain.
#pragma once

#include "thickness/layer_sequence.h"
#include "thickness/stack_distribution.h"

#include <vector>

namespace teravine {

// The mean over the stacks of |Σ_j F_j exp(2πi s z_j)|², per stack, for the layers j of a
// stack at heights z_j, the centres of two neighbouring layers (d_a + d_b) / 2 apart. In a
// chain started in its steady state, two layers n apart contribute on average
// C_n = Σ_a π_a F_a [Tⁿ F]_a, T_ab = P_ab exp(iπs(d_a + d_b)), and a stack of N layers
// holds N - n such pairs; over the distribution the intensity is w_0 C_0 + 2 Re Σ w_n C_n
// with w = interference_weights (the matrix form of Kakinoki & Komura 1952 and of Reynolds
// 1980, summed term by term, which stays exact for stacks of any thickness).
class StackIntensity {
public:
    StackIntensity(LayerSequence chain, const ThicknessDistribution& thickness);

    // The intensity at s (Å⁻¹), averaged over an interval ds of s about it, as a detector
    // integrates over its step: the term of layers n apart is averaged as a wave of
    // period 1 / (n d̄), d̄ the chain's mean spacing, which is exact for one kind of layer
    // and keeps the intensity of stacks too thick for the step from being missed between
    // the points.
    double at(double s, double ds) const;

    // How many layers apart the farthest pair lies.
    std::size_t reach() const { return weights_.size(); }

private:
    double one_kind(double s, double ds) const;

    LayerSequence chain_;
    std::vector<double> weights_;
    std::vector<double> spacing_; // of each state's layer
    double mean_spacing_ = 0;
};

} // namespace teravine
