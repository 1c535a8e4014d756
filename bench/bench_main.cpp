// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-bench: Google Benchmark over the program's costly paths. A Qt application
// runs for the whole session on the offscreen platform (unless another one is asked
// for), since fonts, images and the window need one.
#include <benchmark/benchmark.h>

#include <QString>
#include <QtGlobal>

#include <cstdio>

#ifdef TERAVINE_BENCH_WINDOW
#include <QApplication>
using BenchApplication = QApplication;
#else
#include <QGuiApplication>
using BenchApplication = QGuiApplication;
#endif

namespace {

// The offscreen platform says at every window that it cannot pass size hints on.
void quiet_offscreen(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("propagateSizeHints"))) {
        return;
    }
    const QByteArray local = qFormatLogMessage(type, context, text).toLocal8Bit();
    std::fprintf(stderr, "%s\n", local.constData());
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quiet_offscreen);
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
