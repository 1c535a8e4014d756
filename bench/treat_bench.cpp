// SPDX-License-Identifier: GPL-3.0-or-later
// The treatment of a whole width file as "Treat File" runs it: read, correct, identify,
// write, and place every accepted sample on the window's diagram with its four lines.
#include "bench_support.h"

#include "app/terav.h"
#include "batch/treatment.h"
#include "batch/width_file.h"
#include "lines/line_tables.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace teravine::bench {
namespace {

// Broadening of the generated files: small enough that nearly every sample stays inside.
constexpr float kFileBroadening = 0.02f;

struct TreatFiles {
    ScratchFolder folder;
    std::string in_path;
    std::string out_path;

    explicit TreatFiles(int samples) {
        const Calibration cal = make_calibration(1);
        in_path = folder.file("widths.IW").string();
        out_path = folder.file("widths.IWO").string();
        write_width_file(in_path, spread_points(cal, samples), kFileBroadening);
    }
};

// (a) The window's own handler, with a picture that draws nothing.
void BM_TreatFileWindow(benchmark::State& state) {
    const TreatFiles files(static_cast<int>(state.range(0)));
    std::size_t placed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        BenchServices services;
        services.open_path = files.in_path;
        services.save_path = files.out_path;
        NullSurface picture;
        auto terav = std::make_unique<Terav>(services, picture);
        terav->Form_Load();
        state.ResumeTiming();

        terav->Tr_fi_Click();

        state.PauseTiming();
        placed = terav->state().samples.size();
        if (!services.messages.empty()) {
            state.SkipWithError(services.messages.front().c_str());
        }
        terav.reset(); // the samples' release is not the treatment's cost
        state.ResumeTiming();
    }
    state.counters["placed"] = static_cast<double>(placed);
    state.counters["per_sample"] = benchmark::Counter(
        static_cast<double>(state.range(0)),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TreatFileWindow)
    ->Arg(4096)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// (b) The same steps called one by one, as teravine-cli treat runs them: the result file
// written with every sample identified with its four lines (on `workers` cores), then
// the accepted samples placed into a sample list in file order.
void BM_TreatFileSteps(benchmark::State& state) {
    const TreatFiles files(static_cast<int>(state.range(0)));
    const auto workers = static_cast<unsigned>(state.range(1));
    std::size_t placed = 0;
    for (auto _ : state) {
        const Calibration cal = make_calibration(1);
        auto widths = read_width_file(files.in_path);
        if (!widths) {
            state.SkipWithError(widths.error().c_str());
            break;
        }
        correct_widths(widths.value(), kRuleMixture, CorrectionTable{});
        const LineTables tables = make_line_tables(cal);
        LineWriter out;
        if (const auto failure = out.open(files.out_path)) {
            state.SkipWithError(failure->c_str());
            break;
        }
        Treatment treated =
            treat_widths(widths.value(), cal, tables, rule_name(kRuleMixture), out, workers);
        if (treated.failure) {
            state.SkipWithError(treated.failure->c_str());
            break;
        }
        auto samples = std::make_unique<SampleList>();
        for (TreatedPair& pair : treated.pairs) {
            if (pair.accepted()) {
                samples->push_back(std::move(*pair.found.placed));
            }
        }
        state.PauseTiming();
        placed = samples->size();
        samples.reset();
        treated.pairs.clear();
        state.ResumeTiming();
    }
    state.counters["placed"] = static_cast<double>(placed);
    state.counters["per_sample"] = benchmark::Counter(
        static_cast<double>(state.range(0)),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TreatFileSteps)
    ->ArgNames({"samples", "workers"})
    ->Args({4096, 1})
    ->Args({4096, 0})
    ->Args({32767, 1})
    ->Args({32767, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
} // namespace teravine::bench
