// SPDX-License-Identifier: GPL-3.0-or-later
// teravine: the diagram window.
#include "qt/main_window.h"
#include "qt/render/quiet_runtime_dir.h"
#include "teravine_version.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kHelp =
    "Usage: teravine [--help | --version]\n"
    "\n"
    "The Teravine window: places illite and illite-smectite samples on the diagram of\n"
    "air-dried against glycolated XRD peak widths and reads k, N, %S and Nfp from it.\n"
    "The window keeps no configuration; everything is done from its menus.\n"
    "\n"
    "Options:\n"
    "  -h, --help    print this help and exit\n"
    "  --version     print the version and exit\n"
    "\n"
    "The same calculations without a window: teravine-cli --help.\n";

// --help and --version print and exit, as desktop programs do; anything else is Qt's.
int print_and_exit_status(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("teravine %s\n", teravine::kVersion);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (const int status = print_and_exit_status(argc, argv); status >= 0) {
        return std::fflush(stdout) == 0 ? status : 1;
    }
    teravine::drop_runtime_dir_warning();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Teravine"));
    teravine::MainWindow window(teravine::MainWindow::Options{});
    window.show();
    window.start();
    // The start-up display handles events for a while: the user may have quit already.
    if (!window.isVisible()) {
        return 0;
    }
    return QApplication::exec();
}
