// SPDX-License-Identifier: GPL-3.0-or-later
// Identifying one point with its four lines, as a click does: points spread over the
// diagram of each Reichweite, the time given per sample.
#include "bench_support.h"

#include "identify/identify_point.h"
#include "identify/uncertainty.h"
#include "lines/line_tables.h"

#include <benchmark/benchmark.h>

namespace teravine::bench {
namespace {

void identify(benchmark::State& state, bool tabled) {
    const auto reich = static_cast<std::int16_t>(state.range(0));
    const Calibration cal = make_calibration(reich);
    const LineTables tables = make_line_tables(cal);
    const std::vector<LinePoint> points = spread_points(cal, 1024);
    std::size_t at = 0;
    std::int64_t placed = 0;
    for (auto _ : state) {
        auto sample = tabled ? identify_point(cal, tables, points[at].ad, points[at].eg)
                             : identify_point(cal, points[at].ad, points[at].eg);
        placed += sample.placed ? 1 : 0;
        benchmark::DoNotOptimize(sample);
        at = (at + 1) % points.size();
    }
    state.SetLabel(cal.name());
    state.counters["placed_share"] =
        benchmark::Counter(static_cast<double>(placed), benchmark::Counter::kAvgIterations);
}

// As a click identifies a point: with the line tables of the Reichweite.
void BM_IdentifyPoint(benchmark::State& state) {
    identify(state, true);
}
BENCHMARK(BM_IdentifyPoint)->DenseRange(1, 3)->Unit(benchmark::kMicrosecond);

// The plain builders, evaluating every row at every width: the reference.
void BM_IdentifyPointPlain(benchmark::State& state) {
    identify(state, false);
}
BENCHMARK(BM_IdentifyPointPlain)->DenseRange(1, 3)->Unit(benchmark::kMicrosecond);

// The tables themselves, made at every change of Reichweite.
void BM_MakeLineTables(benchmark::State& state) {
    const Calibration cal = make_calibration(static_cast<std::int16_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(make_line_tables(cal));
    }
}
BENCHMARK(BM_MakeLineTables)->DenseRange(1, 3)->Unit(benchmark::kMicrosecond);

// The intervals of one pair over its 1-sigma region (0.01 on both widths), as the sample
// table computes them: in the plane (113 points) or, with the instrument's width uncertain
// too, in the ball (425 points). Time per sample, one thread.
void BM_WidthUncertainty(benchmark::State& state) {
    const Calibration cal = make_calibration(1);
    const std::vector<LinePoint> points = spread_points(cal, 1024);
    WidthSigmas sigmas{0.01f, 0.01f};
    sigmas.broadening = state.range(0) == 0 ? 0.0f : 0.005f;
    std::size_t at = 0;
    std::int64_t cut = 0;
    for (auto _ : state) {
        const auto u = width_uncertainty(cal, points[at].ad, points[at].eg, {}, sigmas);
        cut += u && u->cut() ? 1 : 0;
        benchmark::DoNotOptimize(u);
        at = (at + 1) % points.size();
    }
    state.SetLabel(state.range(0) == 0 ? "plane" : "ball");
    state.counters["cut_share"] =
        benchmark::Counter(static_cast<double>(cut), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WidthUncertainty)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Every sample of a full diagram at once, on every core, as a new sigma is set.
void BM_WidthUncertainties(benchmark::State& state) {
    const Calibration cal = make_calibration(1);
    const std::vector<LinePoint> points = spread_points(cal, static_cast<int>(state.range(0)));
    std::vector<MeasuredPair> pairs;
    for (const LinePoint& p : points) {
        pairs.push_back({p.ad, p.eg, {}});
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(width_uncertainties(cal, pairs, {0.01f, 0.01f}));
    }
}
BENCHMARK(BM_WidthUncertainties)->Arg(32767)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace teravine::bench
