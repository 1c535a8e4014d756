// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up to the first drawn picture, the start-up display left out: the window's load
// and its first redraw on an 800 x 800 picture; with the Qt window built, also the main
// window's construction, load and first paint on the offscreen platform.
#include "picture.h"

#include "app/terav.h"

#include <benchmark/benchmark.h>

#ifdef TERAVINE_BENCH_WINDOW
#include "qt/main_window.h"

#include <QApplication>
#endif

#include <memory>

namespace teravine::bench {
namespace {

void BM_StartupLoad(benchmark::State& state) {
    for (auto _ : state) {
        BenchServices services;
        BenchPicture picture(services);
        Terav terav(services, picture.surface());
        terav.Form_Load();
        benchmark::DoNotOptimize(picture.image().constBits());
    }
}
BENCHMARK(BM_StartupLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef TERAVINE_BENCH_WINDOW
void BM_StartupMainWindow(benchmark::State& state) {
    for (auto _ : state) {
        auto window = std::make_unique<MainWindow>(MainWindow::Options{false});
        window->show();
        window->start();
        QApplication::processEvents(); // the expose and the first paint
        benchmark::DoNotOptimize(window.get());
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupMainWindow)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

} // namespace
} // namespace teravine::bench
