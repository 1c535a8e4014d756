// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a 100,000-point file of each binary and zipped format, written by the tests'
// writers: Bruker RAW v1 to v4, .brml, .rasx and Philips .sd.
#include "bench_support.h"
#include "formats/binary_writers.h"
#include "formats/read_pattern.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>

namespace teravine::bench {
namespace {

binary::Range big_range(int points) {
    binary::Range range;
    range.start = 2;
    range.step = 0.0009765625; // 2⁻¹⁰°, 100,000 steps end near 99.7°
    range.time = 0.5;
    range.counts.resize(static_cast<std::size_t>(points));
    for (std::size_t i = 0; i < range.counts.size(); ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(points);
        range.counts[i] = std::round(200 + 5000 * std::exp(-std::pow((x - 0.1) / 0.01, 2)));
    }
    return range;
}

enum class Kind { raw_v1, raw_v2, raw_v3, raw_v4, brml, rasx, philips_rd };

void BM_ReadBinaryPattern(benchmark::State& state, Kind kind, const char* name) {
    ScratchFolder folder;
    const binary::Radiation copper{1.5406, 1.54439, 0.5, "Cu"};
    const std::vector<binary::Range> ranges = {big_range(static_cast<int>(state.range(0)))};
    std::string bytes;
    switch (kind) {
    case Kind::raw_v1:
        bytes = binary::raw_v1(ranges, copper);
        break;
    case Kind::raw_v2:
        bytes = binary::raw_v2(ranges, copper);
        break;
    case Kind::raw_v3:
        bytes = binary::raw_v3(ranges, copper);
        break;
    case Kind::raw_v4:
        bytes = binary::raw_v4(ranges, copper);
        break;
    case Kind::brml:
        bytes = binary::brml(ranges, copper);
        break;
    case Kind::rasx:
        bytes = binary::rasx(ranges, copper);
        break;
    case Kind::philips_rd:
        bytes = binary::philips_rd(ranges[0], 5, 0);
        break;
    }
    const std::string path = folder.file(name);
    std::ofstream(path, std::ios::binary) << bytes;
    for (auto _ : state) {
        auto read = read_pattern_file(path);
        if (!read) {
            state.SkipWithError(read.error().c_str());
            break;
        }
        benchmark::DoNotOptimize(read);
    }
}
// Version 2 counts its steps in 16 bits: its file holds 65,535.
BENCHMARK_CAPTURE(BM_ReadBinaryPattern, raw_v1, Kind::raw_v1, "big.raw")
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadBinaryPattern, raw_v2, Kind::raw_v2, "big.raw")
    ->Arg(65535)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadBinaryPattern, raw_v3, Kind::raw_v3, "big.raw")
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadBinaryPattern, raw_v4, Kind::raw_v4, "big.raw")
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadBinaryPattern, brml, Kind::brml, "big.brml")
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadBinaryPattern, rasx, Kind::rasx, "big.rasx")
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadBinaryPattern, philips_rd, Kind::philips_rd, "big.sd")
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace teravine::bench
