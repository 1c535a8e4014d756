// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: its controls, menus and picture, wired to the toolkit-free handlers
// of Terav. It turns Qt events into handler calls and nothing more.
#pragma once

#include "app/terav.h"
#include "qt/window_controls.h"
#include "qt/window_menus.h"

#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QDialog;

namespace teravine {

class CalibrationDialog;
class GuideWindow;
class MeasureDialog;
class MeasureFolderDialog;
class QtWindowServices;
class RecentFiles;
class SampleTableDock;

class MainWindow final : public QMainWindow {
public:
    struct Options {
        bool startup_display = true; // the animated about window at the end of the load
    };

    explicit MainWindow(Options options);
    ~MainWindow() override;

    // Form_Load: the tables, the first drawing and the start-up display.
    void start();

    Terav& terav() { return *terav_; }
    const WindowControls& controls() const { return controls_; }
    const WindowMenus& menus() const { return menus_; }
    SampleTableDock& sample_table() { return *sample_table_; }

    // The handlers' check marks; a menu click never changes them by itself.
    void set_checked(MenuItem item, bool checked);
    bool checked(MenuItem item) const { return checked_.at(item); }

    // The client area below the menu bar, and the size of the window with its frame.
    QSize inner_size() const;
    void set_outer_size(QSize outer);

    // File > "Measure Patterns…": the one measuring dialog, made on first use and shown.
    MeasureDialog& show_measure_dialog();

    // File > "Measure Folder…": the one folder dialog, made on first use and shown with
    // `folder`'s pairs; without one, a folder is asked for unless the dialog shows one
    // already. Null when none was chosen.
    MeasureFolderDialog* show_measure_folder_dialog(const std::string& folder = {});

    // File > "Calibration…": the one calibration dialog, made on first use and shown.
    CalibrationDialog& show_calibration_dialog();
    QLabel* broadening_source_label() const { return broad_source_; }
    // The calibration changed: where b comes from (beside the broadening box and in its
    // tooltip), the table's columns and the dialog follow.
    void calibration_changed();
    // A session opened: Measure Patterns measures as its latest measured pair was measured.
    void session_opened();

    // Info > "User Guide": the installed guide, else the source tree's, in the guide window
    // (made on first use); none, with a line in the status bar, when there is no guide.
    GuideWindow* open_user_guide();

    // Files dropped onto the window (or given by their paths): a session, a sample list or
    // a width file opened as its File menu item opens one, one or two patterns in Measure
    // Patterns; anything else is refused with a message, and nothing changes.
    void open_dropped(const std::vector<std::string>& paths);

    // A file the user chose in an Open dialog of the window, for File > "Recent".
    void remember_opened(const std::string& path);

    // Closes without asking again (the handlers have asked).
    void close_confirmed();
    // The status bar's line.
    void show_status(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void connect_menus();
    void connect_controls();
    void connect_sample_table();
    void show_sample_table(bool shown);
    // Checks the item of Draw > "Labels" that the window's choice names.
    void show_label_choice();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void on_check_item(MenuItem item, void (Terav::*handler)());
    // Runs a handler on a picture that fits the window: a redraw for a resize still
    // waiting goes first.
    // An action that runs out of memory stops with a message; the window and its samples
    // stay as the action left them.
    template <class Handler> void run(Handler&& handler) {
        try {
            draw_pending_resize();
            handler();
        } catch (const std::exception& e) {
            stopped(e);
        }
    }
    void stopped(const std::exception& e);
    void draw_pending_resize();
    int menu_height() const;
    int status_height() const;
    // Before a dialog is shown: where the user left it (kept under `key`), else beside the
    // window with the size `wanted` gives for the room there is beside it.
    void open_dialog(QDialog& dialog, const QString& key,
                     const std::function<QSize(int beside)>& wanted) const;

    WindowControls controls_;
    WindowMenus menus_;
    std::map<MenuItem, bool> checked_;
    std::unique_ptr<QtWindowServices> services_;
    RecentFiles* recent_ = nullptr;
    std::unique_ptr<Terav> terav_;
    SampleTableDock* sample_table_ = nullptr;
    int table_growth_ = 0; // the width the window took on when the docked table was shown
    bool loaded_ = false;
    // While a window edge is dragged, sizes come faster than a large diagram draws; the
    // redraw waits until no newer size is queued, so a stale size is never drawn.
    QTimer resize_redraw_;
    bool close_confirmed_ = false;
    MeasureDialog* measure_dialog_ = nullptr;         // a child of the window
    MeasureFolderDialog* folder_dialog_ = nullptr;    // a child of the window
    QLabel* status_line_ = nullptr;                   // in the status bar
    CalibrationDialog* calibration_dialog_ = nullptr; // a child of the window
    GuideWindow* guide_window_ = nullptr;             // a child of the window
    QLabel* broad_source_ = nullptr; // in the frame, before "Instrumental Broadening"
    QString broad_tooltip_;          // the box's own tooltip
};

} // namespace teravine
