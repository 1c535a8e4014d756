// A full redraw of the window's picture (Form_Resize) on an 800 x 800 image, with all
// four grids and all four identical lines on, for 1,000 and 32,767 samples.
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

    explicit FullWindow(int samples) {
        picture.set_drawing(false);
        terav.Form_Load();
        services.open_path = folder.file("widths.IW").string();
        services.save_path = folder.file("widths.IWO").string();
        write_width_file(services.open_path, spread_points(make_calibration(1), samples), 0);
        terav.Tr_fi_Click();
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

void redraw(benchmark::State& state, bool antialiased) {
    FullWindow window(static_cast<int>(state.range(0)));
    window.picture.surface().set_antialiasing(antialiased);
    for (auto _ : state) {
        window.terav.Form_Resize();
        benchmark::DoNotOptimize(window.picture.image().constBits());
    }
    state.counters["samples"] = static_cast<double>(window.terav.state().samples.size());
}

// The window's picture draws without antialiasing.
void BM_RedrawWindow(benchmark::State& state) { redraw(state, false); }
BENCHMARK(BM_RedrawWindow)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond)->UseRealTime();

// The image files of teravine-cli plot draw antialiased.
void BM_RedrawAntialiased(benchmark::State& state) { redraw(state, true); }
BENCHMARK(BM_RedrawAntialiased)
    ->Arg(1000)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace teravine::bench
