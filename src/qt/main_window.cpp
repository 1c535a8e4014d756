// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/main_window.h"

#include "app/dropped_files.h"
#include "qt/about_art.h"
#include "qt/calibration_dialog.h"
#include "qt/dialog_placement.h"
#include "qt/guide_window.h"
#include "qt/measure_dialog.h"
#include "qt/measure_folder_dialog.h"
#include "qt/picture_box.h"
#include "qt/qt_window_services.h"
#include "qt/recent_files.h"
#include "qt/sample_table_dock.h"
#include "qt/twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QUrl>
#include <algorithm>
#include <new>

namespace teravine {

namespace {

// The client area the window opens with, in twips: wide enough for the option frame,
// tall enough that the picture's frame and captions are all in view.
constexpr int kStartInnerWidth = 9360;
constexpr int kStartInnerHeight = 9900;

} // namespace

MainWindow::MainWindow(Options options) {
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setWindowIcon(QIcon(teravine_icon()));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    controls_ = build_window_controls(client);
    menus_ = build_window_menus(menuBar());
    for (const auto& [item, action] : menus_.checks) {
        checked_[item] = action->isChecked();
    }
    // The status bar's line says what the last action did. A label of its own, so that
    // passing over the menus (which show their items' empty status tips) does not wipe it.
    status_line_ = new QLabel(statusBar());
    status_line_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(status_line_, 1);
    statusBar()->setSizeGripEnabled(true);
    resize(twips_to_pixels(kStartInnerWidth), twips_to_pixels(kStartInnerHeight) +
                                                  menuBar()->sizeHint().height() +
                                                  statusBar()->sizeHint().height());

    services_ = std::make_unique<QtWindowServices>(*this, options.startup_display);
    setAcceptDrops(true);
    recent_ =
        new RecentFiles(menus_.recent, [this](const std::string& path) { open_dropped({path}); });
    terav_ = std::make_unique<Terav>(*services_, controls_.pct1->surface());
    sample_table_ = new SampleTableDock(terav_->state().samples, terav_->state().unplaced,
                                        terav_->state().lab, this);
    addDockWidget(Qt::RightDockWidgetArea, sample_table_);
    sample_table_->hide();
    // Where the broadening comes from when an instrument profile gives it: a small label in
    // the room left of "Instrumental Broadening", its captions untouched.
    broad_source_ = new QLabel(controls_.Frame1);
    broad_source_->setGeometry(twips_to_pixels(2760), twips_to_pixels(250), twips_to_pixels(3240),
                               twips_to_pixels(255));
    broad_source_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    broad_source_->setStyleSheet(QStringLiteral("QLabel { color: #205080; }"));
    broad_tooltip_ = controls_.Broad->toolTip();
    // The picture fits the room beside the table as it fits the window without it.
    client->installEventFilter(this);
    connect_menus();
    connect_controls();
    connect_sample_table();
    resize_redraw_.setSingleShot(true);
    resize_redraw_.setInterval(0);
    connect(&resize_redraw_, &QTimer::timeout, this, [this] { terav_->Form_Resize(); });
}

MainWindow::~MainWindow() {
    // The children go after this body has run, and hiding the table then would call
    // back into a window that is no longer whole.
    disconnect(sample_table_, nullptr, this, nullptr);
    disconnect(&sample_table_->model(), nullptr, this, nullptr);
    centralWidget()->removeEventFilter(this);
    sample_table_->on_selection = nullptr;
    sample_table_->on_remove = nullptr;
    sample_table_->on_export = nullptr;
    sample_table_->on_sigma = nullptr;
    sample_table_->model().on_rename = nullptr;
}

void MainWindow::start() {
    // Resizes from here on redraw; the load itself draws first.
    loaded_ = true;
    terav_->Form_Load();
}

void MainWindow::set_checked(MenuItem item, bool checked) {
    checked_[item] = checked;
    menus_.item(item)->setChecked(checked);
}

void MainWindow::on_check_item(MenuItem item, void (Terav::*handler)()) {
    // Qt has already flipped the mark; the handler decides what it shows.
    menus_.item(item)->setChecked(checked_.at(item));
    run([&] { (terav_.get()->*handler)(); });
}

void MainWindow::stopped(const std::exception& e) {
    const bool memory = dynamic_cast<const std::bad_alloc*>(&e) != nullptr;
    services_->message(memory ? std::string("There is not enough memory for this action; it "
                                            "stopped, and the samples are kept.")
                              : std::string("This action stopped: ") + e.what());
}

void MainWindow::draw_pending_resize() {
    if (resize_redraw_.isActive()) {
        resize_redraw_.stop();
        terav_->Form_Resize();
    }
}

void MainWindow::connect_menus() {
    const auto on = [this](QAction* action, void (Terav::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, handler] { run([&] { (terav_.get()->*handler)(); }); });
    };
    on(menus_.Tr_fi, &Terav::Tr_fi_Click);
    on(menus_.Pr, &Terav::Pr_Click);
    on(menus_.close_form, &Terav::close_form_Click);
    on(menus_.cop_clip, &Terav::cop_clip_Click);
    on(menus_.netoye, &Terav::netoye_Click);
    on(menus_.Cl_p, &Terav::Cl_p_Click);
    on(menus_.exp_li, &Terav::exp_li_Click);
    on(menus_.menu_about, &Terav::menu_about_Click);
    on(menus_.save_picture, &Terav::save_picture_Click);
    on(menus_.open_sample_list, &Terav::open_sample_list_Click);
    on(menus_.save_session, &Terav::save_session_Click);
    on(menus_.save_report, &Terav::save_report_Click);
    connect(menus_.open_session, &QAction::triggered, this, [this] {
        run([&] { terav_->open_session_Click(); });
        show_label_choice();
    });
    on(menus_.remove_selected, &Terav::remove_selected_Click);
    on(menus_.undo, &Terav::undo_Click);
    connect(menus_.sample_table, &QAction::triggered, this,
            [this](bool shown) { show_sample_table(shown); });
    connect(menus_.measure_patterns, &QAction::triggered, this, [this] { show_measure_dialog(); });
    connect(menus_.calibration, &QAction::triggered, this, [this] { show_calibration_dialog(); });
    connect(menus_.measure_folder, &QAction::triggered, this,
            [this] { show_measure_folder_dialog(); });
    for (std::size_t i = 0; i < menus_.labels.size(); ++i) {
        connect(menus_.labels[i], &QAction::triggered, this, [this, i] {
            run([&] { terav_->labels_Click(static_cast<SampleLabels>(i)); });
            show_label_choice();
        });
    }
    connect(menus_.user_guide, &QAction::triggered, this, [this] { open_user_guide(); });
    // Alt and the first letter of a menu open it, with its caption left as it is.
    for (QAction* top : menuBar()->actions()) {
        const QString title = top->text();
        if (title.isEmpty()) {
            continue;
        }
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | title.at(0).toUpper().unicode()),
                                       this, nullptr, nullptr, Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this, top] { menuBar()->setActiveAction(top); });
    }

    const std::map<MenuItem, void (Terav::*)()> checked_handlers{
        {MenuItem::R_0, &Terav::R_0_Click},       {MenuItem::R_1, &Terav::R_1_Click},
        {MenuItem::R_3, &Terav::R_3_Click},       {MenuItem::C_k, &Terav::C_k_Click},
        {MenuItem::C_N, &Terav::C_N_Click},       {MenuItem::C_perc, &Terav::C_perc_Click},
        {MenuItem::c_inf, &Terav::c_inf_Click},   {MenuItem::Id_k, &Terav::Id_k_Click},
        {MenuItem::Id_n, &Terav::Id_n_Click},     {MenuItem::Id_s, &Terav::Id_s_Click},
        {MenuItem::Id_inf, &Terav::Id_inf_Click}, {MenuItem::ellipses, &Terav::ellipses_Click}};
    for (const auto& [item, handler] : checked_handlers) {
        connect(menus_.item(item), &QAction::triggered, this,
                [this, item = item, handler = handler] { on_check_item(item, handler); });
    }
}

void MainWindow::connect_controls() {
    for (int i = 0; i < 3; ++i) {
        connect(controls_.options[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { run([&] { terav_->prof_option_Click(i); }); });
    }
    connect(controls_.option(BroadeningOption::FileTable), &QRadioButton::clicked, this,
            [this] { run([&] { terav_->file_option_Click(); }); });
    connect(controls_.Command1, &QPushButton::clicked, this,
            [this] { run([&] { terav_->Command1_Click(); }); });
    // The measuring dialog's preview follows the window's rule and broadening.
    const auto preview_again = [this] {
        if (measure_dialog_ != nullptr) {
            measure_dialog_->refresh_preview();
        }
    };
    for (QRadioButton* option : controls_.options) {
        connect(option, &QRadioButton::clicked, this, preview_again); // after its handler
    }
    connect(controls_.Broad, &QLineEdit::textChanged, this, preview_again);
    // Typed by hand (never a text the handlers set): an instrument profile's b no longer
    // stands in the box.
    connect(controls_.Broad, &QLineEdit::textEdited, this, [this] { terav_->Broad_Edited(); });
    // Enter in any of the three boxes presses "Draw".
    for (QLineEdit* box : {controls_.Broad, controls_.Xls, controls_.Yls}) {
        connect(box, &QLineEdit::returnPressed, controls_.Command1, &QPushButton::click);
    }
    controls_.pct1->on_move = [this](float x, float y) {
        run([&] { terav_->pct1_MouseMove(x, y); });
    };
    controls_.pct1->on_click = [this] { run([&] { terav_->pct1_Click(); }); };
}

void MainWindow::connect_sample_table() {
    SampleTableDock& table = *sample_table_;
    table.on_selection = [this](std::vector<std::size_t> rows) {
        terav_->select_samples(std::move(rows));
    };
    table.on_remove = [this] { run([&] { terav_->remove_selected_Click(); }); };
    table.on_export = [this] { run([&] { terav_->export_table_Click(); }); };
    table.on_sigma = [this](float sigma) { run([&] { terav_->set_sigma(sigma); }); };
    table.model().on_rename = [this](std::size_t row, const std::string& name) {
        run([&] { terav_->rename_sample(row, name); });
    };
    connect(&table, &QDockWidget::visibilityChanged, this,
            [this] { menus_.sample_table->setChecked(sample_table_->isVisible()); });
    // A removal or an undo leaves no row selected, as the handlers do; new samples at
    // the end leave the selection as it is.
    connect(&table.model(), &QAbstractItemModel::rowsRemoved, this,
            [this] { sample_table_->view()->clearSelection(); });
    connect(&table.model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int, int last) {
                if (last + 1 < sample_table_->model().rowCount()) {
                    sample_table_->view()->clearSelection();
                }
            });
}

void MainWindow::show_label_choice() {
    const auto chosen = static_cast<std::size_t>(terav_->state().labels);
    for (std::size_t i = 0; i < menus_.labels.size(); ++i) {
        menus_.labels[i]->setChecked(i == chosen);
    }
}

void MainWindow::show_sample_table(bool shown) {
    if (shown == sample_table_->isVisible()) {
        return;
    }
    // Docked, the table widens the window by the room it takes (and gives it back), so
    // the picture keeps its size.
    const bool docked = !sample_table_->isFloating() && !isMaximized() && !isFullScreen();
    const int separator = style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
    if (!shown) {
        const int room = std::min(sample_table_->width() + separator, table_growth_);
        sample_table_->hide();
        table_growth_ = 0;
        if (docked) {
            resize(width() - room, height());
        }
        return;
    }
    int room = sample_table_->preferred_width();
    if (docked) {
        // Never past the screen: the window moves left as far as it must, and on a screen
        // too narrow for the whole table it grows to the screen's width and the table
        // scrolls.
        const QRect screen = this->screen()->availableGeometry();
        const int frame = frameGeometry().width() - width();
        const int widest = screen.width() - frame;
        const int grown = std::max(width(), std::min(width() + room + separator, widest));
        table_growth_ = grown - width();
        room = std::max(0, table_growth_ - separator);
        const int overshoot = frameGeometry().left() + grown + frame - (screen.right() + 1);
        if (overshoot > 0) {
            move(std::max(screen.left(), x() - overshoot), y());
        }
        resize(grown, height());
    }
    sample_table_->show();
    resizeDocks({sample_table_}, {room}, Qt::Horizontal);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize && loaded_) {
        resize_redraw_.start();
    }
    return QMainWindow::eventFilter(watched, event);
}

QSize MainWindow::inner_size() const {
    // The client area beside the sample table when it is docked: the whole area below
    // the menu bar without it.
    const QWidget* client = centralWidget();
    if (sample_table_ != nullptr && sample_table_->isVisible() && !sample_table_->isFloating()) {
        return client->size();
    }
    return {width(), std::max(0, height() - menu_height() - status_height())};
}

int MainWindow::menu_height() const {
    return menuBar()->isVisible() ? menuBar()->height() : menuBar()->sizeHint().height();
}

int MainWindow::status_height() const {
    return statusBar()->isVisible() ? statusBar()->height() : statusBar()->sizeHint().height();
}

void MainWindow::set_outer_size(QSize outer) {
    // The status bar comes on top of the window the handlers ask for, so the picture
    // keeps its size.
    const QSize frame = frameGeometry().size() - size();
    resize(outer - frame + QSize(0, status_height()));
}

void MainWindow::show_status(const QString& text) {
    status_line_->setText(text);
    status_line_->setToolTip(text);
}

MeasureDialog& MainWindow::show_measure_dialog() {
    if (measure_dialog_ == nullptr) {
        // The measurement goes with the widths the dialog writes into the boxes.
        const auto take_measurement = [this] {
            if (const auto measured = measure_dialog_->session().measurement()) {
                terav_->use_measurement(*measured, measure_dialog_->thickness().n_profile());
            }
        };
        measure_dialog_ = new MeasureDialog(
            *services_,
            [this, take_measurement] {
                take_measurement();
                run([&] { terav_->Command1_Click(); });
            },
            this,
            [this](const std::string& ad, const std::string& eg) {
                return terav_->preview_entry(ad, eg);
            },
            &terav_->state().lab);
        connect(measure_dialog_->use_widths, &QPushButton::clicked, this, take_measurement);
        remember_place(*measure_dialog_, QStringLiteral("measure"));
        // Opened first after a session: it measures as the session's pairs were measured.
        if (const auto latest = terav_->latest_measurement()) {
            measure_dialog_->measure_like(*latest);
        }
    }
    open_dialog(*measure_dialog_, QStringLiteral("measure"), [this](int beside) {
        // Side by side the plots are wide; one above the other they fit a narrower room.
        measure_dialog_->set_stacked(measure_dialog_->side_by_side_width() > beside);
        return measure_dialog_->sizeHint();
    });
    measure_dialog_->show();
    measure_dialog_->raise();
    measure_dialog_->activateWindow();
    return *measure_dialog_;
}

MeasureFolderDialog* MainWindow::show_measure_folder_dialog(const std::string& folder) {
    if (folder_dialog_ == nullptr) {
        // The pairs are measured with the broadening typed in the window's box and held
        // against the instrument profile in use, as measure --folder --instrument holds them;
        // the standard's pattern it was made from gives each pair its N (profile).
        const auto measuring = [this](const PeakRange& range,
                                      const std::string& pairs) -> Outcome<PairMeasuring> {
            const auto b = terav_->typed_broadening();
            if (!b) {
                return Failure{"Type the instrumental broadening to remove in the window's "
                               "\"Instrumental Broadening\" box first (0 for none)."};
            }
            PairMeasuring how;
            how.broadening = *b;
            how.instrument = terav_->state().lab.profile;
            how.range = range;
            find_pair_standard(how, terav_->state().lab, pointed_standard_pattern(), pairs);
            return how;
        };
        folder_dialog_ = new MeasureFolderDialog(
            measuring,
            [this](const NamedList& list, const std::string& from) {
                run([&] { terav_->place_sample_list(list, from, "Measure Folder"); });
            },
            this);
        remember_place(*folder_dialog_, QStringLiteral("folder"));
    }
    if (!folder.empty()) {
        folder_dialog_->show_folder(folder);
    } else if (folder_dialog_->folder().empty() && !folder_dialog_->choose_folder()) {
        return nullptr;
    }
    open_dialog(*folder_dialog_, QStringLiteral("folder"),
                // The room beside less its frame: as wide as the tables need, up to 760.
                [](int beside) { return QSize(std::clamp(beside - 16, 560, 760), 600); });
    folder_dialog_->show();
    folder_dialog_->raise();
    folder_dialog_->activateWindow();
    return folder_dialog_;
}

CalibrationDialog& MainWindow::show_calibration_dialog() {
    if (calibration_dialog_ == nullptr) {
        calibration_dialog_ = new CalibrationDialog(*terav_, this);
        remember_place(*calibration_dialog_, QStringLiteral("calibration"));
    }
    calibration_dialog_->refresh();
    open_dialog(*calibration_dialog_, QStringLiteral("calibration"),
                [this](int) { return calibration_dialog_->sizeHint(); });
    calibration_dialog_->show();
    calibration_dialog_->raise();
    calibration_dialog_->activateWindow();
    return *calibration_dialog_;
}

void MainWindow::calibration_changed() {
    const LabCalibration& lab = terav_->state().lab;
    const QString source = QString::fromStdString(broadening_source(lab));
    // Elided to the label's room; the whole of it is in the tooltips.
    broad_source_->setText(lab.profile ? broad_source_->fontMetrics().elidedText(
                                             QStringLiteral("b from the profile of ") +
                                                 QString::fromStdString(lab.profile->standard),
                                             Qt::ElideMiddle, broad_source_->width())
                                       : QString());
    broad_source_->setToolTip(source);
    controls_.Broad->setToolTip(source.isEmpty()
                                    ? broad_tooltip_
                                    : source + QStringLiteral("\n\n") + broad_tooltip_ +
                                          QStringLiteral("\nTyping here ends the profile's use."));
    sample_table_->model().set_cis(converts_samples(lab));
    if (calibration_dialog_ != nullptr) {
        calibration_dialog_->refresh();
    }
    if (measure_dialog_ != nullptr) {
        measure_dialog_->calibration_changed();
    }
}

void MainWindow::session_opened() {
    const auto latest = terav_->latest_measurement();
    if (measure_dialog_ != nullptr && latest) {
        measure_dialog_->measure_like(*latest);
    }
}

void MainWindow::open_dialog(QDialog& dialog, const QString& key,
                             const std::function<QSize(int beside)>& wanted) const {
    if (dialog.isVisible() || restore_remembered_place(dialog, key)) {
        return;
    }
    const QScreen* on = screen();
    if (on == nullptr) {
        return;
    }
    // Beside the window where the screen has room, so the diagram stays in view; else over
    // the side of the window that leaves most of the diagram visible, below the width boxes.
    const QRect room = on->availableGeometry();
    const QRect window = frameGeometry();
    const int beside = std::max(room.right() - window.right(), window.left() - room.left());
    const QRect width_boxes(controls_.Frame1->mapToGlobal(QPoint(0, 0)), controls_.Frame1->size());
    const QRect placed = place_beside(room, window, wanted(beside), width_boxes);
    dialog.resize(placed.size());
    dialog.move(placed.topLeft());
}

GuideWindow* MainWindow::open_user_guide() {
    if (guide_window_ == nullptr) {
        const QString path = installed_guide_path();
        if (path.isEmpty()) {
            show_status(QStringLiteral("User Guide: the guide is not installed (guide.md)"));
            return nullptr;
        }
        guide_window_ = new GuideWindow(path, this);
        remember_place(*guide_window_, QStringLiteral("guide"));
    }
    // Beside the window when the room there is wide enough to read, else over its side.
    open_dialog(*guide_window_, QStringLiteral("guide"),
                [](int beside) { return QSize(std::clamp(beside, 560, 820), 760); });
    guide_window_->show();
    guide_window_->raise();
    guide_window_->activateWindow();
    return guide_window_;
}

void MainWindow::close_confirmed() {
    close_confirmed_ = true;
    close();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (loaded_) {
        resize_redraw_.start();
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const auto urls = event->mimeData()->urls();
    if (!urls.isEmpty() &&
        std::all_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); })) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        paths.push_back(url.toLocalFile().toStdString());
    }
    event->acceptProposedAction();
    // Opened once the drop is over, so that the file dialogs a treatment asks for are not
    // shown from inside the drop.
    QTimer::singleShot(0, this, [this, paths] { open_dropped(paths); });
}

void MainWindow::remember_opened(const std::string& path) {
    recent_->remember(path);
}

void MainWindow::open_dropped(const std::vector<std::string>& paths) {
    const DroppedFiles dropped = classify_dropped(paths);
    for (const std::string& path : dropped.paths) {
        recent_->remember(path);
    }
    using Kind = DroppedFiles::Kind;
    const auto open_with = [&](QAction* item) {
        services_->answer_next_open(dropped.paths.front());
        item->trigger();
    };
    switch (dropped.kind) {
    case Kind::session:
        open_with(menus_.open_session);
        break;
    case Kind::sample_list:
        open_with(menus_.open_sample_list);
        break;
    case Kind::width_file:
        open_with(menus_.Tr_fi);
        break;
    case Kind::patterns: {
        MeasureDialog& dialog = show_measure_dialog();
        dialog.open_pattern(PatternSide::AirDried, dropped.paths[0]);
        if (dropped.paths.size() > 1) {
            dialog.open_pattern(PatternSide::Glycolated, dropped.paths[1]);
        }
        break;
    }
    case Kind::refused:
        services_->message(dropped.refusal);
        break;
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (close_confirmed_ || !loaded_ || terav_->Form_QueryUnload()) {
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace teravine
