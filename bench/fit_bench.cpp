// SPDX-License-Identifier: GPL-3.0-or-later
// Profile fitting over the 250 points of the default range (a 0.02° step): one split
// pseudo-Voigt or Pearson VII with its Kα2 line, and three components, on a noisy
// synthetic pattern; the half-height reading of the same range, with its resampled
// uncertainty, beside them; and three components over the range sampled at 100,000 points.
#include "formats/synthetic_pattern.h"
#include "peaks/peak_width.h"
#include "peaks/profile_fit.h"

#include <benchmark/benchmark.h>

namespace teravine::bench {
namespace {

Pattern fit_pattern(bool crowded, double step = 0.02) {
    synthetic::PeakShape shape{0.35, 8.8, 3000, 0.5, synthetic::Background::Sloping, step};
    shape.right_fwhm = 0.5;
    shape.doublet = true;
    shape.noise_seed = 9;
    if (crowded) {
        shape.second_position = 9.5;
        shape.second_fwhm = 0.8;
        shape.second_height = 1200;
    }
    return synthetic::make_pattern(shape);
}

void time_fit(benchmark::State& state, const Pattern& pattern, const FitOptions& options) {
    for (auto _ : state) {
        auto fit = fit_profile(pattern, {}, options);
        if (!fit) {
            state.SkipWithError(fit.error().c_str());
            break;
        }
        benchmark::DoNotOptimize(fit);
    }
}

// components, and 0 for a split pseudo-Voigt or 1 for a split Pearson VII.
void BM_FitProfile(benchmark::State& state) {
    const int components = static_cast<int>(state.range(0));
    time_fit(state, fit_pattern(components > 1),
             {state.range(1) == 0 ? ProfileShape::split_pseudo_voigt : ProfileShape::split_pearson7,
              FitBackground::linear, components});
}
BENCHMARK(BM_FitProfile)
    ->ArgNames({"components", "pearson"})
    ->ArgsProduct({{1, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// Three components over the default range sampled at 100,000 points.
void BM_FitDense(benchmark::State& state) {
    time_fit(state, fit_pattern(true, 0.02 * 250 / 100000),
             {ProfileShape::split_pseudo_voigt, FitBackground::linear, 3});
}
BENCHMARK(BM_FitDense)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_HalfHeightReading(benchmark::State& state) {
    const Pattern pattern = fit_pattern(false);
    for (auto _ : state) {
        auto width = measure_peak(pattern);
        benchmark::DoNotOptimize(width);
    }
}
BENCHMARK(BM_HalfHeightReading)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace teravine::bench
