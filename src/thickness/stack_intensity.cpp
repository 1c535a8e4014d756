// SPDX-License-Identifier: GPL-3.0-or-later
#include "thickness/stack_intensity.h"

#include <cmath>
#include <complex>
#include <numbers>
#include <utility>

namespace teravine {

StackIntensity::StackIntensity(LayerSequence chain, const ThicknessDistribution& thickness)
    : chain_(std::move(chain)), weights_(interference_weights(thickness)) {
    for (std::size_t a = 0; a < chain_.states(); ++a) {
        spacing_.push_back(layer_spacing(chain_.kind[a]));
        mean_spacing_ += chain_.share[a] * spacing_.back();
    }
}

double StackIntensity::at(double s, double ds) const {
    using Complex = std::complex<double>;
    constexpr double pi = std::numbers::pi;
    const std::size_t m = chain_.states();
    if (m == 1) {
        return one_kind(s, ds);
    }
    std::vector<double> f(m);
    std::vector<Complex> t(m * m), v(m), next(m);
    double self = 0;
    for (std::size_t a = 0; a < m; ++a) {
        f[a] = layer_structure_factor(chain_.kind[a], s);
        self += chain_.share[a] * f[a] * f[a];
        v[a] = f[a];
    }
    for (std::size_t a = 0; a < m; ++a) {
        for (std::size_t b = 0; b < m; ++b) {
            t[a * m + b] =
                chain_.junction[a * m + b] * std::polar(1.0, pi * s * (spacing_[a] + spacing_[b]));
        }
    }
    // The average of cos over the interval: sin(nφ) / (nφ), φ = π ds d̄, its sines by the
    // recurrence sin((n+1)φ) = 2 cos φ sin(nφ) - sin((n-1)φ).
    const double phi = pi * ds * mean_spacing_;
    const double twice_cos = 2 * std::cos(phi);
    double sin_before = 0, sin_now = std::sin(phi);
    double sum = 0;
    for (std::size_t n = 1; n < weights_.size(); ++n) {
        for (std::size_t a = 0; a < m; ++a) {
            Complex value = 0;
            for (std::size_t b = 0; b < m; ++b) {
                value += t[a * m + b] * v[b];
            }
            next[a] = value;
        }
        v.swap(next);
        Complex pairs = 0;
        for (std::size_t a = 0; a < m; ++a) {
            pairs += chain_.share[a] * f[a] * v[a];
        }
        const double average = phi > 0 ? sin_now / (static_cast<double>(n) * phi) : 1.0;
        sum += weights_[n] * average * pairs.real();
        const double sin_next = twice_cos * sin_now - sin_before;
        sin_before = sin_now;
        sin_now = sin_next;
    }
    return weights_.empty() ? 0 : weights_[0] * self + 2 * sum;
}

// One kind of layer: C_n = F² exp(2πi s d n), its phase turned by one rotation a pair.
double StackIntensity::one_kind(double s, double ds) const {
    constexpr double pi = std::numbers::pi;
    const double f = layer_structure_factor(chain_.kind[0], s);
    // The rotation written out: std::complex's product checks for infinities at every step.
    const double turn_re = std::cos(2 * pi * s * spacing_[0]);
    const double turn_im = std::sin(2 * pi * s * spacing_[0]);
    double wave_re = 1, wave_im = 0;
    const double phi = pi * ds * mean_spacing_;
    const double twice_cos = 2 * std::cos(phi);
    double sin_before = 0, sin_now = std::sin(phi);
    double sum = 0;
    for (std::size_t n = 1; n < weights_.size(); ++n) {
        const double re = wave_re * turn_re - wave_im * turn_im;
        wave_im = wave_re * turn_im + wave_im * turn_re;
        wave_re = re;
        const double average = phi > 0 ? sin_now / (static_cast<double>(n) * phi) : 1.0;
        sum += weights_[n] * average * wave_re;
        const double sin_next = twice_cos * sin_now - sin_before;
        sin_before = sin_now;
        sin_now = sin_next;
    }
    return weights_.empty() ? 0 : f * f * (weights_[0] + 2 * sum);
}

} // namespace teravine
