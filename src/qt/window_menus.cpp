// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/window_menus.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace teravine {

namespace {

QAction* command(QMenu* menu, const char* caption, QKeySequence shortcut = {}) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
    }
    return action;
}

void check_item(WindowMenus& menus, QMenu* menu, MenuItem which, const char* caption,
                bool checked) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setCheckable(true);
    action->setChecked(checked);
    menus.checks[which] = action;
}

} // namespace

WindowMenus build_window_menus(QMenuBar* bar) {
    WindowMenus m;

    QMenu* fi = bar->addMenu(QStringLiteral("File"));
    m.Tr_fi = command(fi, "Treat File", QKeySequence::Open);
    m.Pr = command(fi, "Print", QKeySequence::Print);
    m.close_form = command(fi, "Close", QKeySequence(Qt::CTRL | Qt::Key_Q));
    m.measure_patterns = command(fi, "Measure Patterns…");
    m.save_picture = command(fi, "Save Picture…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    m.open_sample_list = command(fi, "Open Sample List…");
    m.save_session = command(fi, "Save Session…", QKeySequence::Save);
    m.open_session = command(fi, "Open Session…");
    m.calibration = command(fi, "Calibration…");
    m.recent = fi->addMenu(QStringLiteral("Recent"));
    m.measure_folder = command(fi, "Measure Folder…");
    m.save_report = command(fi, "Save Report…");

    QMenu* ed = bar->addMenu(QStringLiteral("Edit"));
    m.cop_clip = command(ed, "Copy to clipboard", QKeySequence::Copy);
    m.netoye = command(ed, "Clear ALL");
    m.Cl_p = command(ed, "Clear Points");
    m.remove_selected = command(ed, "Remove Selected Samples", QKeySequence::Delete);
    m.undo = command(ed, "Undo", QKeySequence::Undo);

    QMenu* reich = bar->addMenu(QStringLiteral("Reichweite"));
    check_item(m, reich, MenuItem::R_0, "R0", true);
    check_item(m, reich, MenuItem::R_1, "R1", false);
    check_item(m, reich, MenuItem::R_3, "R3", false);

    QMenu* li = bar->addMenu(QStringLiteral("Grid Lines"));
    check_item(m, li, MenuItem::C_k, "Constant k", true);
    check_item(m, li, MenuItem::C_N, "Constant N", false);
    check_item(m, li, MenuItem::C_perc, "Constant %S", false);
    check_item(m, li, MenuItem::c_inf, "Approx. constant Nfp", false);
    m.exp_li = command(li, "Export Constant line");

    QMenu* dr = bar->addMenu(QStringLiteral("Draw"));
    check_item(m, dr, MenuItem::Id_k, "Identical k", false);
    check_item(m, dr, MenuItem::Id_n, "Identical N", false);
    check_item(m, dr, MenuItem::Id_s, "Identical %S", false);
    check_item(m, dr, MenuItem::Id_inf, "Approx. Identical Nfp", false);
    m.sample_table = command(dr, "Sample Table", QKeySequence(Qt::CTRL | Qt::Key_T));
    m.sample_table->setCheckable(true);
    check_item(m, dr, MenuItem::ellipses, "Uncertainty Ellipses", false);
    QMenu* labels = dr->addMenu(QStringLiteral("Labels"));
    const char* const label_captions[] = {"Label", "Name", "Number", "None"};
    for (std::size_t i = 0; i < m.labels.size(); ++i) {
        m.labels[i] = command(labels, label_captions[i]);
        m.labels[i]->setCheckable(true);
        m.labels[i]->setChecked(i == 0);
    }

    QMenu* info = bar->addMenu(QStringLiteral("Info"));
    m.menu_about = command(info, "About");
    m.user_guide = command(info, "User Guide", QKeySequence::HelpContents);
    return m;
}

} // namespace teravine
