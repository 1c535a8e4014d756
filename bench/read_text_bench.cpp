// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a 100,000-point file of each instrument text format, written by the tests'
// writers from one synthetic pattern.
#include "bench_support.h"
#include "formats/read_pattern.h"
#include "formats/text_writers.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace teravine::bench {
namespace {

constexpr int kPoints = 100000;

Pattern big_pattern() {
    synthetic::PeakShape shape;
    shape.fwhm = 0.4;
    shape.noise_seed = 5;
    shape.from = 4;
    shape.to = 14;
    shape.step = (shape.to - shape.from) / (kPoints - 1);
    return synthetic::make_pattern(shape);
}

enum class Kind { Ras, Asc, Uxd, Xrdml, Udf, Cpi, GsasStd, GsasEsd, Fxye };

std::string text_of(Kind kind, const Pattern& p) {
    const double co = 1.78901;
    switch (kind) {
    case Kind::Ras:
        return writers::ras({p}, co);
    case Kind::Asc:
        return writers::asc({p}, co);
    case Kind::Uxd:
        return writers::uxd({p}, co);
    case Kind::Xrdml:
        return writers::xrdml({p}, co);
    case Kind::Udf:
        return writers::udf(p, co);
    case Kind::Cpi:
        return writers::cpi(p, co);
    case Kind::GsasStd:
        return writers::gsas({p}, writers::GsasLayout::Std);
    case Kind::GsasEsd:
        return writers::gsas({p}, writers::GsasLayout::Esd);
    case Kind::Fxye:
        return writers::gsas({p}, writers::GsasLayout::Fxye);
    }
    return {};
}

void BM_ReadTextFormat(benchmark::State& state, const char* file, Kind kind) {
    ScratchFolder folder;
    const std::string path = folder.file(file).string();
    std::ofstream(path, std::ios::binary) << text_of(kind, big_pattern());
    for (auto _ : state) {
        auto read = read_pattern_scans(path);
        if (!read || read->scans.front().counts.size() != kPoints) {
            state.SkipWithError(read ? "not every point was read" : read.error().c_str());
            break;
        }
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK_CAPTURE(BM_ReadTextFormat, ras, "big.ras", Kind::Ras)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTextFormat, asc, "big.asc", Kind::Asc)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTextFormat, uxd, "big.uxd", Kind::Uxd)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTextFormat, xrdml, "big.xrdml", Kind::Xrdml)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTextFormat, udf, "big.udf", Kind::Udf)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTextFormat, cpi, "big.cpi", Kind::Cpi)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTextFormat, gsas_std, "big.gsa", Kind::GsasStd)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTextFormat, gsas_esd, "big.gsas", Kind::GsasEsd)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTextFormat, fxye, "big.fxye", Kind::Fxye)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace teravine::bench
