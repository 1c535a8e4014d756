// SPDX-License-Identifier: GPL-3.0-or-later
// Info > "User Guide": the guide (Markdown) rendered with its images in a window of the
// program, with a find box; no outside viewer is needed.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QTextBrowser;

namespace teravine {

class GuideWindow final : public QDialog {
public:
    // Shows the guide at `path`; its images are found beside it.
    GuideWindow(const QString& path, QWidget* parent);

    // Selects the next (or previous) place the find box's text occurs, going round the
    // guide's end; false, and the selection left as it was, when it occurs nowhere.
    bool find_next(bool backwards = false);

    QLineEdit* find_box = nullptr;
    QLabel* find_state = nullptr; // "Not found" when the text occurs nowhere
    QTextBrowser* browser = nullptr;
};

// The guide as installed, else the source tree's (a program run from its build tree);
// empty when neither is there.
QString installed_guide_path();

} // namespace teravine
