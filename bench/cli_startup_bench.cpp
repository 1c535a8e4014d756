// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli as a scheduler runs it, once per file: the whole process from exec to
// exit, for commands that draw nothing (the toolkit never loaded) and for one that draws
// (the figure renderer opened).
#include "bench_support.h"
#include "child_process.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace teravine::bench {
namespace {

void run_cli(benchmark::State& state, const std::vector<std::string>& arguments) {
    std::vector<std::string> command{TERAVINE_CLI};
    command.insert(command.end(), arguments.begin(), arguments.end());
    for (auto _ : state) {
        if (child_peak_bytes(command) < 0) {
            state.SkipWithError("teravine-cli failed");
            break;
        }
    }
}

void BM_CliStartupVersion(benchmark::State& state) {
    run_cli(state, {"--version"});
}
BENCHMARK(BM_CliStartupVersion)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CliStartupIdentify(benchmark::State& state) {
    run_cli(state, {"identify", "0.5", "0.4"});
}
BENCHMARK(BM_CliStartupIdentify)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CliStartupPlot(benchmark::State& state) {
    ScratchFolder folder;
    run_cli(state, {"plot", "-o", folder.file("diagram.png").string()});
}
BENCHMARK(BM_CliStartupPlot)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace teravine::bench
