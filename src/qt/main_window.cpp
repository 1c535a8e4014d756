// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/main_window.h"

#include "qt/about_art.h"
#include "qt/measure_dialog.h"
#include "qt/picture_box.h"
#include "qt/qt_window_services.h"
#include "qt/twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

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
    resize(twips_to_pixels(kStartInnerWidth),
           twips_to_pixels(kStartInnerHeight) + menuBar()->sizeHint().height());

    services_ = std::make_unique<QtWindowServices>(*this, options.startup_display);
    terav_ = std::make_unique<Terav>(*services_, controls_.pct1->surface());
    connect_menus();
    connect_controls();
    resize_redraw_.setSingleShot(true);
    resize_redraw_.setInterval(0);
    connect(&resize_redraw_, &QTimer::timeout, this, [this] { terav_->Form_Resize(); });
}

MainWindow::~MainWindow() = default;

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
    connect(menus_.measure_patterns, &QAction::triggered, this, [this] { show_measure_dialog(); });

    const std::map<MenuItem, void (Terav::*)()> checked_handlers{
        {MenuItem::R_0, &Terav::R_0_Click},      {MenuItem::R_1, &Terav::R_1_Click},
        {MenuItem::R_3, &Terav::R_3_Click},      {MenuItem::C_k, &Terav::C_k_Click},
        {MenuItem::C_N, &Terav::C_N_Click},      {MenuItem::C_perc, &Terav::C_perc_Click},
        {MenuItem::c_inf, &Terav::c_inf_Click},  {MenuItem::Id_k, &Terav::Id_k_Click},
        {MenuItem::Id_n, &Terav::Id_n_Click},    {MenuItem::Id_s, &Terav::Id_s_Click},
        {MenuItem::Id_inf, &Terav::Id_inf_Click}};
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
    controls_.pct1->on_move = [this](float x, float y) {
        run([&] { terav_->pct1_MouseMove(x, y); });
    };
    controls_.pct1->on_click = [this] { run([&] { terav_->pct1_Click(); }); };
}

QSize MainWindow::inner_size() const {
    const int menu_height =
        menuBar()->isVisible() ? menuBar()->height() : menuBar()->sizeHint().height();
    return {width(), std::max(0, height() - menu_height)};
}

void MainWindow::set_outer_size(QSize outer) {
    const QSize frame = frameGeometry().size() - size();
    resize(outer - frame);
}

MeasureDialog& MainWindow::show_measure_dialog() {
    if (measure_dialog_ == nullptr) {
        measure_dialog_ = new MeasureDialog(
            *services_, [this] { run([&] { terav_->Command1_Click(); }); }, this);
    }
    measure_dialog_->show();
    measure_dialog_->raise();
    measure_dialog_->activateWindow();
    return *measure_dialog_;
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

void MainWindow::closeEvent(QCloseEvent* event) {
    if (close_confirmed_ || !loaded_ || terav_->Form_QueryUnload()) {
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace teravine
