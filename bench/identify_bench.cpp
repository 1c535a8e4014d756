// Identifying one point with its four lines, as a click does: points spread over the
// diagram of each Reichweite, the time given per sample.
#include "bench_support.h"

#include "identify/identify_point.h"

#include <benchmark/benchmark.h>

namespace teravine::bench {
namespace {

void BM_IdentifyPoint(benchmark::State& state) {
    const auto reich = static_cast<std::int16_t>(state.range(0));
    Calibration cal = make_calibration(reich);
    const std::vector<LinePoint> points = spread_points(cal, 1024);
    InterpRecord interp;
    std::size_t at = 0;
    std::int64_t placed = 0;
    for (auto _ : state) {
        float eg = points[at].eg;
        auto sample = identify_point(cal, interp, points[at].ad, eg);
        placed += sample ? 1 : 0;
        benchmark::DoNotOptimize(sample);
        at = (at + 1) % points.size();
    }
    state.SetLabel(cal.name());
    state.counters["placed_share"] = benchmark::Counter(
        static_cast<double>(placed), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_IdentifyPoint)->DenseRange(1, 3)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace teravine::bench
