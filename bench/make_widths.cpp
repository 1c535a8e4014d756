// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-bench-widths COUNT FILE.IW [REICHWEITE]: writes a width file of COUNT samples
// spread over the diagram (as the benchmarks use them) for timing teravine-cli treat.
#include "bench_support.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    using namespace teravine;
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: teravine-bench-widths COUNT FILE.IW [R0|R1|R3]\n");
        return 1;
    }
    try {
        const int count = std::stoi(argv[1]);
        const std::int16_t reich = argc == 4 ? reich_from_name(argv[3]) : std::int16_t{1};
        if (count < 0 || count > 32767 || reich == 0) {
            std::fprintf(stderr,
                         "teravine-bench-widths: COUNT 0..32767, Reichweite R0, R1 or R3\n");
            return 1;
        }
        const Calibration cal = make_calibration(reich);
        bench::write_width_file(argv[2], bench::spread_points(cal, count), 0.02f);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "teravine-bench-widths: %s\n", e.what());
        return 1;
    }
    return 0;
}
