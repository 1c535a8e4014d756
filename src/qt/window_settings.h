// SPDX-License-Identifier: GPL-3.0-or-later
// The settings the window keeps between runs (where its dialogs were left, the recent
// files, the standard's pattern last pointed at), in one place for all of them.
#pragma once

#include <QSettings>

namespace teravine {

inline QSettings window_settings() {
    return QSettings(QStringLiteral("Teravine"), QStringLiteral("teravine"));
}

} // namespace teravine
