// SPDX-License-Identifier: GPL-3.0-or-later
// A full redraw of the window's picture (Form_Resize) on an 800 x 800 image, with all
// four grids and all four identical lines on, for 1,000 and 32,767 samples; and the two
// commands that end in drawing every sample: a change of Reichweite and Treat File.
#include "picture.h"

#include "app/terav.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace teravine::bench {
namespace {

// A window holding `samples` samples from a treated file, every line switched on.
struct FullWindow {
    ScratchFolder folder;
    BenchServices services;
    BenchPicture picture{services};
    Terav terav{services, picture.surface()};

    // With treat false, the window is left empty, every line on, the width file ready.
    explicit FullWindow(int samples, bool treat = true) {
        picture.set_drawing(false);
        terav.Form_Load();
        services.open_path = folder.file("widths.IW").string();
        services.save_path = folder.file("widths.IWO").string();
        write_width_file(services.open_path, spread_points(make_calibration(1), samples), 0);
        if (treat) {
            terav.Tr_fi_Click();
        }
        terav.C_N_Click();
        terav.C_perc_Click();
        terav.c_inf_Click();
        terav.Id_k_Click();
        terav.Id_n_Click();
        terav.Id_s_Click();
        terav.Id_inf_Click();
        picture.set_drawing(true);
    }
};

// The share of the picture's pixels that are not white: tells that the drawing happened.
double inked_share(const QImage& image) {
    std::int64_t inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            inked += (row[x] & 0xFFFFFFu) != 0xFFFFFFu;
        }
    }
    return static_cast<double>(inked) / (static_cast<double>(image.width()) * image.height());
}

void redraw(benchmark::State& state, bool antialiased) {
    FullWindow window(static_cast<int>(state.range(0)));
    window.picture.surface().set_antialiasing(antialiased);
    for (auto _ : state) {
        window.terav.Form_Resize();
        benchmark::DoNotOptimize(window.picture.image().constBits());
    }
    state.counters["samples"] = static_cast<double>(window.terav.state().samples.size());
    state.counters["inked"] = inked_share(window.picture.image());
}

// The window's picture draws without antialiasing.
void BM_RedrawWindow(benchmark::State& state) {
    redraw(state, false);
}
BENCHMARK(BM_RedrawWindow)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the time goes to: the same redraw with the samples' identical lines off (frame,
// grids, dots and labels), and with everything off but the frame and the dots and labels.
void BM_RedrawWithoutIdenticalLines(benchmark::State& state) {
    FullWindow window(static_cast<int>(state.range(0)));
    window.picture.set_drawing(false);
    window.terav.Id_k_Click();
    window.terav.Id_n_Click();
    window.terav.Id_s_Click();
    window.terav.Id_inf_Click();
    if (state.range(1) == 0) {
        window.terav.C_k_Click();
        window.terav.C_N_Click();
        window.terav.C_perc_Click();
        window.terav.c_inf_Click();
    }
    window.picture.set_drawing(true);
    for (auto _ : state) {
        window.terav.Form_Resize();
        benchmark::DoNotOptimize(window.picture.image().constBits());
    }
}
BENCHMARK(BM_RedrawWithoutIdenticalLines)
    ->ArgNames({"samples", "grids"})
    ->Args({1000, 1})
    ->Args({1000, 0})
    ->Args({32767, 1})
    ->Args({32767, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The image files of teravine-cli plot draw antialiased.
void BM_RedrawAntialiased(benchmark::State& state) {
    redraw(state, true);
}
BENCHMARK(BM_RedrawAntialiased)
    ->Arg(1000)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// R0 and R1 in turn, every grid and identical line on: every sample identified afresh
// with its lines, the grids recomputed, the picture drawn.
void BM_SwitchReichweite(benchmark::State& state) {
    FullWindow window(static_cast<int>(state.range(0)));
    bool to_r1 = true;
    for (auto _ : state) {
        if (to_r1) {
            window.terav.R_1_Click();
        } else {
            window.terav.R_0_Click();
        }
        to_r1 = !to_r1;
        benchmark::DoNotOptimize(window.picture.image().constBits());
    }
    state.counters["samples"] = static_cast<double>(window.terav.state().samples.size());
}
BENCHMARK(BM_SwitchReichweite)->Arg(32767)->Unit(benchmark::kMillisecond)->UseRealTime();

// Treat File in a window with every line on, each placed sample drawn on the picture
// with its dot, label and four identical lines.
void BM_TreatFileDrawn(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<FullWindow>(static_cast<int>(state.range(0)), false);
        window->picture.set_drawing(true);
        state.ResumeTiming();
        window->terav.Tr_fi_Click();
        benchmark::DoNotOptimize(window->picture.image().constBits());
        state.PauseTiming();
        state.counters["samples"] = static_cast<double>(window->terav.state().samples.size());
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TreatFileDrawn)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
} // namespace teravine::bench
