// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menu tree: "File", "Edit", "Reichweite", "Grid Lines", "Draw", "Info".
// The check marks are the handlers' state, so Qt is never left to toggle them alone.
#pragma once

#include "app/window_services.h"

#include <array>
#include <map>

class QAction;
class QMenu;
class QMenuBar;

namespace teravine {

struct WindowMenus {
    // Commands without a check mark.
    QAction* Tr_fi = nullptr;
    QAction* Pr = nullptr;
    QAction* close_form = nullptr;
    QAction* measure_patterns = nullptr;
    QAction* cop_clip = nullptr;
    QAction* netoye = nullptr;
    QAction* Cl_p = nullptr;
    QAction* exp_li = nullptr;
    QAction* menu_about = nullptr;
    // Added after the items above, each at the end of its menu.
    QAction* save_picture = nullptr;     // File > "Save Picture…"
    QAction* open_sample_list = nullptr; // File > "Open Sample List…"
    QAction* save_session = nullptr;     // File > "Save Session…"
    QAction* open_session = nullptr;     // File > "Open Session…"
    QAction* calibration = nullptr;      // File > "Calibration…"
    QMenu* recent = nullptr;             // File > "Recent"
    QAction* measure_folder = nullptr;   // File > "Measure Folder…"
    QAction* save_report = nullptr;      // File > "Save Report…"
    QAction* remove_selected = nullptr;  // Edit > "Remove Selected Samples"
    QAction* undo = nullptr;             // Edit > "Undo"
    QAction* sample_table = nullptr;     // Draw > "Sample Table", checked while it shows
    // Draw > "Labels": "Label", "Name", "Number", "None", in the order of SampleLabels;
    // the one checked is the window's choice.
    std::array<QAction*, 4> labels{};
    QAction* user_guide = nullptr; // Info > "User Guide"
    // Items that carry a check mark.
    std::map<MenuItem, QAction*> checks;

    QAction* item(MenuItem which) const { return checks.at(which); }
};

// Builds the menus on bar with their captions, shortcuts and start-up check marks.
WindowMenus build_window_menus(QMenuBar* bar);

} // namespace teravine
