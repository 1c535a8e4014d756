// SPDX-License-Identifier: GPL-3.0-or-later
// The thickness analysis of one pattern whose range holds 2,000 points (6.5-11.5° at a
// 0.0025° step), its instrument removed with a standard of the same steps, with the 48
// resamples of its uncertainty; target under 50 ms. Beside it, the simulation of the pair.
#include "thickness/simulated_pattern.h"
#include "thickness/thickness_analysis.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace teravine::bench {
namespace {

SimulationRequest stacks(double mean, double beta2, std::uint64_t seed) {
    SimulationRequest r;
    r.lo = 6.5;
    r.hi = 11.5;
    r.step = 0.0025;
    r.thickness = beta2 > 0 ? lognormal_of_mean(mean, beta2) : Lognormal{std::log(mean), 0};
    r.broadening = 0.1;
    r.top = 1e5;
    r.seed = seed;
    return r;
}

void BM_ThicknessAnalysis(benchmark::State& state) {
    const auto sample = simulate_pattern(stacks(static_cast<double>(state.range(0)), 0.3, 1));
    const auto standard = simulate_pattern(stacks(5000, 0, 2));
    if (!sample || !standard) {
        state.SkipWithError("the patterns were not simulated");
        return;
    }
    state.counters["points"] = static_cast<double>(sample->two_theta.size());
    for (auto _ : state) {
        auto r = analyse_thickness(*sample, &*standard, {});
        if (!r) {
            state.SkipWithError(r.error().c_str());
            break;
        }
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_ThicknessAnalysis)
    ->ArgName("mean_layers")
    ->Arg(10)
    ->Arg(30)
    ->Unit(benchmark::kMillisecond);

void BM_SimulatePattern(benchmark::State& state) {
    for (auto _ : state) {
        auto p = simulate_pattern(stacks(static_cast<double>(state.range(0)), 0.3, 1));
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_SimulatePattern)
    ->ArgName("mean_layers")
    ->Arg(10)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace teravine::bench
