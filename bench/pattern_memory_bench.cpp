// SPDX-License-Identifier: GPL-3.0-or-later
// The peak memory of reading a large pattern file: teravine-cli pattern --info run as a
// child process on a 60 MB XRDML file (7 million points), its maximum resident set size
// taken from the kernel when it ends. The whole run counts: the file's bytes, the XML
// and the points, as a user reading such a file would see it.
#include "bench_support.h"
#include "child_process.h"
#include "formats/synthetic_pattern.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace teravine::bench {
namespace {

// A file of about `megabytes` MB: XRDML intensities of about 8 bytes a point.
void write_large_xrdml(const std::string& path, double megabytes) {
    synthetic::PeakShape shape;
    shape.from = 2;
    shape.to = 70;
    shape.step = (shape.to - shape.from) / (megabytes * 1e6 / 8.0);
    std::ofstream(path, std::ios::binary) << synthetic::file_text(
        synthetic::make_pattern(shape), synthetic::Format::XrdmlIntensities);
}

void BM_ReadXrdmlPeakMemory(benchmark::State& state) {
    ScratchFolder folder;
    const std::string path = folder.file("large.xrdml").string();
    write_large_xrdml(path, static_cast<double>(state.range(0)));
    const double file_bytes = static_cast<double>(std::filesystem::file_size(path));
    double peak = 0;
    for (auto _ : state) {
        peak = child_peak_bytes({TERAVINE_CLI, "pattern", path, "--info", "-o", "/dev/null"});
        if (peak < 0) {
            state.SkipWithError("teravine-cli pattern --info failed on the large file");
            break;
        }
    }
    state.counters["file_MB"] = file_bytes / 1e6;
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["peak_per_file_byte"] = peak / file_bytes;
}
BENCHMARK(BM_ReadXrdmlPeakMemory)->Arg(60)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace teravine::bench
