// The treatment of a whole width file as "Treat File" runs it: read, correct, identify,
// write, and place every accepted sample on the window's diagram with its four lines.
#include "bench_support.h"

#include "app/terav.h"
#include "batch/treatment.h"
#include "batch/width_file.h"
#include "identify/identify_point.h"

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
    state.counters["per_sample_us"] = benchmark::Counter(
        static_cast<double>(state.range(0)) * 1e-6,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TreatFileWindow)
    ->Arg(4096)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// (b) The same steps called one by one, placing into a sample list as a click does.
void BM_TreatFileSteps(benchmark::State& state) {
    const TreatFiles files(static_cast<int>(state.range(0)));
    std::size_t placed = 0;
    for (auto _ : state) {
        Calibration cal = make_calibration(1);
        auto widths = read_width_file(files.in_path);
        if (!widths) {
            state.SkipWithError(widths.error().c_str());
            break;
        }
        correct_widths(widths.value(), kRuleMixture, CorrectionTable{});
        auto samples = std::make_unique<SampleList>();
        InterpRecord interp;
        const auto place = [&](float ad, float eg) {
            if (auto sample = identify_point(cal, interp, ad, eg)) {
                samples->push_back(std::move(*sample));
            }
        };
        const auto treated =
            treat_widths(widths.value(), cal, rule_name(kRuleMixture), files.out_path, place);
        if (!treated) {
            state.SkipWithError(treated.error().c_str());
            break;
        }
        state.PauseTiming();
        placed = samples->size();
        samples.reset();
        state.ResumeTiming();
    }
    state.counters["placed"] = static_cast<double>(placed);
}
BENCHMARK(BM_TreatFileSteps)
    ->Arg(4096)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
} // namespace teravine::bench
