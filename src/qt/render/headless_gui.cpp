// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/headless_gui.h"

#include "qt/render/quiet_runtime_dir.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGlobal>

namespace teravine {

HeadlessGui::HeadlessGui() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    // A plot from a terminal or a build script must not need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    drop_runtime_dir_warning();
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

HeadlessGui::~HeadlessGui() = default;

} // namespace teravine
