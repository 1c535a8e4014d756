// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of the main window's client area, placed at their twip positions: the
// frame of broadening options and width boxes, and the picture below it.
#pragma once

#include "app/window_services.h"

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace teravine {

class PictureBox;

struct WindowControls {
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 4> options{}; // prof_option(0..2), then file_option
    QLabel* label_file = nullptr;
    QLabel* XYpos = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Broad = nullptr;
    QLineEdit* Xls = nullptr;
    QLineEdit* Yls = nullptr;
    PictureBox* pct1 = nullptr;

    QRadioButton* option(BroadeningOption which) const {
        return options[static_cast<std::size_t>(which)];
    }
    QLineEdit* box(TextBox which) const;
    QLabel* caption(Caption which) const;
};

// Builds every control as a child of client, "Mixture" selected.
WindowControls build_window_controls(QWidget* client);

// Where the picture's top-left corner lies in the client area, in twips.
inline constexpr int kPictureLeftTwips = 20;
inline constexpr int kPictureTopTwips = 1300;

} // namespace teravine
