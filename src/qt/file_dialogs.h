// SPDX-License-Identifier: GPL-3.0-or-later
// The file dialog behind "Treat File", "File table" and "Export Constant line": a
// chosen file, a silent cancel, or a failure with a description for the user.
#pragma once

#include "app/window_services.h"

#include <QString>

class QWidget;

namespace teravine {

enum class FileDialogKind { Open, Save };

// filter is "Description|patterns|...|". A save dialog always opens with no name filled in,
// and adds the first pattern's suffix to a name typed without one.
FileChoice run_file_dialog(QWidget* parent, FileDialogKind kind, const QString& filter);

// The outcome for what a dialog returned: accepted or not, and the files it selected.
FileChoice file_choice_from(bool accepted, const QStringList& selected);

} // namespace teravine
