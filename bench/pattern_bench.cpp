// SPDX-License-Identifier: GPL-3.0-or-later
// Patterns: measuring the 001 peak of a pattern of 5,000, 100,000 and 1,000,000 points
// (the cost must stay linear in the points), and reading a 100,000-point .xy file, all
// made by the tests' synthetic patterns.
#include "bench_support.h"
#include "formats/read_pattern.h"
#include "formats/synthetic_pattern.h"
#include "peaks/peak_width.h"

#include <benchmark/benchmark.h>

#include <fstream>

namespace teravine::bench {
namespace {

synthetic::PeakShape shape_of(int points) {
    synthetic::PeakShape shape;
    shape.fwhm = 0.4;
    shape.background = synthetic::Background::Curved;
    shape.noise_seed = 5;
    shape.from = 4;
    shape.to = 14;
    shape.step = (shape.to - shape.from) / (points - 1);
    return shape;
}

void BM_MeasurePeak(benchmark::State& state) {
    const Pattern pattern = synthetic::make_pattern(shape_of(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        auto width = measure_peak(pattern);
        if (!width) {
            state.SkipWithError(width.error().c_str());
            break;
        }
        benchmark::DoNotOptimize(width);
    }
}
BENCHMARK(BM_MeasurePeak)->Arg(5000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_ReadXyFile(benchmark::State& state) {
    ScratchFolder folder;
    const Pattern pattern = synthetic::make_pattern(shape_of(static_cast<int>(state.range(0))));
    const std::string path = folder.file("big.xy").string();
    std::ofstream(path, std::ios::binary) << synthetic::file_text(pattern, synthetic::Format::Xy);
    for (auto _ : state) {
        auto read = read_pattern_file(path);
        if (!read) {
            state.SkipWithError(read.error().c_str());
            break;
        }
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(BM_ReadXyFile)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace teravine::bench
