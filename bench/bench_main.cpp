// teravine-bench: Google Benchmark over the program's costly paths. A Qt application
// runs for the whole session on the offscreen platform (unless another one is asked
// for), since fonts, images and the window need one.
#include <benchmark/benchmark.h>

#ifdef TERAVINE_BENCH_WINDOW
#include <QApplication>
using BenchApplication = QApplication;
#else
#include <QGuiApplication>
using BenchApplication = QGuiApplication;
#endif

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int qt_argc = 1;
    char name[] = "teravine-bench";
    char* qt_argv[] = {name, nullptr};
    BenchApplication app(qt_argc, qt_argv);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
