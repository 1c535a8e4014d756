// SPDX-License-Identifier: GPL-3.0-or-later
// Identifying one point with its four lines, as a click does: points spread over the
// diagram of each Reichweite, the time given per sample.
#include "bench_support.h"

#include "identify/identify_point.h"
#include "lines/line_tables.h"

#include <benchmark/benchmark.h>

namespace teravine::bench {
namespace {

void identify(benchmark::State& state, bool tabled) {
    const auto reich = static_cast<std::int16_t>(state.range(0));
    Calibration cal = make_calibration(reich);
    const LineTables tables = make_line_tables(cal);
    const std::vector<LinePoint> points = spread_points(cal, 1024);
    InterpRecord interp;
    std::size_t at = 0;
    std::int64_t placed = 0;
    for (auto _ : state) {
        float eg = points[at].eg;
        auto sample = tabled ? identify_point(cal, tables, interp, points[at].ad, eg)
                             : identify_point(cal, interp, points[at].ad, eg);
        placed += sample ? 1 : 0;
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

} // namespace
} // namespace teravine::bench
