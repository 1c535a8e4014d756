// SPDX-License-Identifier: GPL-3.0-or-later
// The file dialog behind "Treat File", "File table" and "Export Constant line": a
// chosen file, a silent cancel, or a failure with a description for the user. Also the
// dialogs' choosing of a pattern to open and of a file to save a figure in.
#pragma once

#include "app/window_services.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>

class QLabel;
class QWidget;

namespace teravine {

enum class FileDialogKind { Open, OpenMany, Save };

// filter is "Description|patterns|...|". A save dialog always opens with no name filled in,
// and adds the first pattern's suffix to a name typed without one.
FileChoice run_file_dialog(QWidget* parent, FileDialogKind kind, const QString& filter);

// The outcome for what a dialog returned: accepted or not, and the files it selected.
FileChoice file_choice_from(bool accepted, const QStringList& selected);

// Every suffix of the pattern formats the readers know (pattern_formats), and the formats a
// figure is saved in.
QString pattern_filter();
inline constexpr const char* kFigureFilter =
    "PNG image|*.png|SVG drawing|*.svg|PDF document|*.pdf|";

// The Open dialog for a pattern: `open` takes the file chosen; why the dialog failed is
// shown in `message`. A title says what is asked for, and `name` is offered as the file's.
void choose_pattern_file(QWidget* parent, QLabel* message,
                         const std::function<void(const std::string& path)>& open,
                         const QString& title = {}, const QString& name = {});

// The same for several patterns at once: `open` takes each file chosen, in order.
void choose_pattern_files(QWidget* parent, QLabel* message,
                          const std::function<void(const std::string& path)>& open);

// The Save dialog for a figure, which `write` writes (PNG, SVG or PDF by the suffix) and
// hands back its failure, if any; a failure of either is shown in a warning box.
void choose_figure_file(
    QWidget* parent,
    const std::function<std::optional<std::string>(const std::string& path)>& write);

} // namespace teravine
