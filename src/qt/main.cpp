// teravine: the diagram window.
#include "qt/main_window.h"

#include <QApplication>

int main(int argc, char** argv) {
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
