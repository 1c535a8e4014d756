// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/quiet_runtime_dir.h"

#include <QString>
#include <QtGlobal>

namespace teravine {

namespace {

QtMessageHandler g_previous = nullptr;

void filter(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg &&
        text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to "))) {
        return;
    }
    g_previous(type, context, text);
}

} // namespace

void drop_runtime_dir_warning() {
    if (g_previous == nullptr) {
        g_previous = qInstallMessageHandler(filter);
    }
}

} // namespace teravine
