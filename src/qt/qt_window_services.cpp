// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/qt_window_services.h"

#include "qt/about_window.h"
#include "qt/file_dialogs.h"
#include "qt/main_window.h"
#include "qt/picture_box.h"
#include "qt/render/diagram_image.h"
#include "qt/report_writer.h"
#include "qt/sample_table_dock.h"
#include "qt/save_picture_dialog.h"
#include "qt/twips.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QSignalBlocker>

#include <filesystem>

namespace teravine {

namespace {

QString to_qstring(const std::string& text) {
    return QString::fromStdString(text);
}

// Message texts join their lines with a bare carriage return; Qt breaks on '\n'.
QString message_text(const std::string& text) {
    QString out = to_qstring(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

} // namespace

QtWindowServices::QtWindowServices(MainWindow& window, bool startup_display)
    : window_(window), startup_display_(startup_display) {}

QtWindowServices::~QtWindowServices() = default;

void QtWindowServices::status(const std::string& text) {
    window_.show_status(QString::fromStdString(text));
}

void QtWindowServices::calibration_changed() {
    window_.calibration_changed();
}

void QtWindowServices::session_opened() {
    window_.session_opened();
}

void QtWindowServices::message(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kAppTitle), message_text(text),
                    QMessageBox::Ok, &window_);
    box.exec();
}

bool QtWindowServices::ask_yes_no(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, to_qstring(title), message_text(text),
                    QMessageBox::Yes | QMessageBox::No, &window_);
    return box.exec() == QMessageBox::Yes;
}

FileChoice QtWindowServices::show_open(const std::string& filter) {
    if (next_open_) {
        FileChoice choice;
        choice.outcome = FileChoice::Outcome::Chosen;
        choice.path = *next_open_;
        choice.title = std::filesystem::path(*next_open_).filename().string();
        next_open_.reset();
        return choice;
    }
    FileChoice choice = run_file_dialog(&window_, FileDialogKind::Open, to_qstring(filter));
    if (choice.outcome == FileChoice::Outcome::Chosen) {
        window_.remember_opened(choice.path);
    }
    return choice;
}

FileChoice QtWindowServices::show_save(const std::string& filter) {
    return run_file_dialog(&window_, FileDialogKind::Save, to_qstring(filter));
}

QPrinter& QtWindowServices::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setDocName(QStringLiteral("Teravine diagram"));
    }
    return *printer_;
}

bool QtWindowServices::show_print_dialog() {
    QPrintDialog dialog(&printer(), &window_);
    return dialog.exec() == QDialog::Accepted;
}

Surface& QtWindowServices::begin_print() {
    QPrinter& page = printer();
    // Pen widths are screen pixels: on paper a pixel of a ~96 dpi screen.
    page_ = std::make_unique<PainterSurface>(&page, page.logicalDpiX() / kScreenDpi);
    page_->set_antialiasing(true);
    page_->use_centimetres();
    return *page_;
}

void QtWindowServices::end_print() {
    // Ending the painter sends the page to the printer.
    if (page_) {
        page_->finish();
        page_.reset();
    }
}

void QtWindowServices::copy_picture_to_clipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(window_.controls().pct1->shown_image());
}

void QtWindowServices::set_window_caption(const std::string& text) {
    window_.setWindowTitle(to_qstring(text));
}

void QtWindowServices::set_caption(Caption label, const std::string& text) {
    window_.controls().caption(label)->setText(to_qstring(text));
}

std::string QtWindowServices::text(TextBox box) const {
    return window_.controls().box(box)->text().toStdString();
}

void QtWindowServices::set_text(TextBox box, const std::string& text) {
    window_.controls().box(box)->setText(to_qstring(text));
}

void QtWindowServices::set_checked(MenuItem item, bool checked) {
    window_.set_checked(item, checked);
}

void QtWindowServices::select_option(BroadeningOption option) {
    QRadioButton* button = window_.controls().option(option);
    const QSignalBlocker blocker(button);
    button->setChecked(true);
}

WindowSize QtWindowServices::inner_size() const {
    const QSize inner = window_.inner_size();
    return {pixels_to_twips(inner.width()), pixels_to_twips(inner.height())};
}

void QtWindowServices::set_outer_size(WindowSize size) {
    window_.set_outer_size(QSize(twips_to_pixels(size.width), twips_to_pixels(size.height)));
}

bool QtWindowServices::minimised() const {
    return window_.isMinimized();
}

void QtWindowServices::set_picture_size(WindowSize size) {
    window_.controls().pct1->resize_picture(
        QSize(twips_to_pixels(size.width), twips_to_pixels(size.height)));
}

void QtWindowServices::place_axis_captions(float legx_left, float legx_top) {
    window_.controls().pct1->place_axis_captions(legx_left, legx_top);
}

void QtWindowServices::picture_changed() {
    window_.controls().pct1->image_changed();
}

std::optional<PictureRequest> QtWindowServices::ask_picture_file() {
    return teravine::ask_picture_file(&window_, window_.controls().pct1->size());
}

std::optional<std::string> QtWindowServices::write_picture(const DiagramContent& content,
                                                           const WorldWindow& world,
                                                           const PictureRequest& request) {
    const auto written = write_diagram_figure(content, world, request.path, request.size);
    if (!written) {
        return written.error();
    }
    return std::nullopt;
}

std::optional<std::string> QtWindowServices::write_report(const WindowSession& session,
                                                          const std::string& path) {
    set_busy(true);
    auto failure = write_report_away(&window_, session, path);
    set_busy(false);
    return failure;
}

void QtWindowServices::samples_changed(const SampleListChange& change) {
    window_.sample_table().model().follow(change);
}

void QtWindowServices::show_sigma(float sigma) {
    window_.sample_table().show_sigma(sigma);
}

void QtWindowServices::mark_samples(const std::vector<PicturePoint>& points) {
    std::vector<QPointF> marks;
    marks.reserve(points.size());
    for (const PicturePoint& p : points) {
        marks.emplace_back(p.x, p.y);
    }
    window_.controls().pct1->set_marks(std::move(marks));
}

void QtWindowServices::set_pointer(PointerShape shape) {
    window_.controls().pct1->setCursor(shape == PointerShape::Crosshair ? Qt::CrossCursor
                                                                        : Qt::ArrowCursor);
}

void QtWindowServices::set_busy(bool busy) {
    busy_depth_ += busy ? 1 : -1;
    if (busy && busy_depth_ == 1) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (!busy && busy_depth_ == 0) {
        QGuiApplication::restoreOverrideCursor();
    }
}

void QtWindowServices::show_startup_display() {
    if (startup_display_) {
        run_startup_display(&window_);
    }
}

void QtWindowServices::show_about_box() {
    run_about_box(&window_);
}

void QtWindowServices::close_window() {
    window_.close_confirmed();
}

} // namespace teravine
