// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/measure_dialog.h"

#include "formats/anode.h"
#include "peaks/width_method_choice.h"
#include "qt/file_dialogs.h"
#include "qt/fitting_scroll_area.h"
#include "qt/peak_plot_widget.h"
#include "qt/pool_task.h"
#include "qt/render/peak_image.h"
#include "qt/thickness_plot_widget.h"
#include "qt/width_method_box.h"
#include "qt/window_settings.h"
#include "text/number_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include <memory>

namespace teravine {
namespace {

QString degrees(double value) {
    return QString::fromStdString(width_text(value)) + QStringLiteral("°");
}

// Where the standard's pattern last pointed at is kept between runs.
const QString kStandardKey = QStringLiteral("measure/standard_pattern");

} // namespace

std::string pointed_standard_pattern() {
    return window_settings().value(kStandardKey).toString().toStdString();
}

MeasureDialog::MeasureDialog(WindowServices& services, std::function<void()> draw, QWidget* parent,
                             Preview what_it_gives, const LabCalibration* lab)
    : QDialog(parent), session_(services, lab), thickness_(lab), draw_(std::move(draw)),
      preview_(std::move(what_it_gives)) {
    session_.measure_away();
    thickness_.point_to(pointed_standard_pattern());
    setWindowTitle(QStringLiteral("Measure Patterns"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    // The halves scroll when the screen is too small for them; the controls and buttons
    // below stay in view.
    auto* halves = new QWidget;
    halves_layout_ = new QBoxLayout(QBoxLayout::LeftToRight, halves);
    halves_layout_->setContentsMargins(0, 0, 0, 0);
    halves_layout_->addWidget(build_half(PatternSide::AirDried));
    halves_layout_->addWidget(build_half(PatternSide::Glycolated));
    layout->addWidget(new FittingScrollArea(halves, this), 1);
    layout->addWidget(build_controls());
    preview = new QLabel(this);
    preview->setWordWrap(true);
    preview->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(preview);
    calibration_note = new QLabel(this);
    calibration_note->setWordWrap(true);
    calibration_note->setStyleSheet(QStringLiteral("QLabel { color: #c02020; }"));
    calibration_note->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(calibration_note);
    refresh();
}

QWidget* MeasureDialog::build_half(PatternSide side) {
    Half& h = halves_[static_cast<std::size_t>(side)];
    auto* box = new QGroupBox(side == PatternSide::AirDried ? QStringLiteral("Air dried (AD)")
                                                            : QStringLiteral("Glycolated (EG)"),
                              this);
    h.frame = box;
    auto* layout = new QVBoxLayout(box);
    auto* file_row = new QHBoxLayout;
    h.file = new QLabel(box);
    h.file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    h.file->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // a long path
    h.choose = new QPushButton(QStringLiteral("Open…"), box);
    file_row->addWidget(h.file, 1);
    file_row->addWidget(h.choose);
    layout->addLayout(file_row);

    auto* choice_row = new QHBoxLayout;
    h.status = new QLabel(box);
    h.scan = new QComboBox(box);
    // Long scan names and file names never widen the dialog past the screen.
    h.scan->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    h.scan->setMinimumContentsLength(12);
    h.status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    h.scan->setVisible(false);
    h.anode = new QComboBox(box);
    for (const AnodeLines& anode : known_anodes()) {
        h.anode->addItem(QString::fromStdString(std::string(anode.symbol)));
    }
    h.anode->setToolTip(QStringLiteral("The anode of the tube, for a file that does not "
                                       "state its wavelength"));
    choice_row->addWidget(h.status, 1);
    choice_row->addWidget(h.scan);
    choice_row->addWidget(new QLabel(QStringLiteral("Anode"), box));
    choice_row->addWidget(h.anode);
    layout->addLayout(choice_row);

    auto* plot_row = new QHBoxLayout;
    h.plot = new PeakPlotWidget(session_, side, box);
    plot_row->addWidget(h.plot, 1);
    auto* figures = new QFormLayout;
    h.position = new QLabel(box);
    h.fwhm = new QLabel(box);
    h.breadth = new QLabel(box);
    h.u_fwhm = new QLabel(box);
    figures->addRow(QStringLiteral("Position"), h.position);
    figures->addRow(QStringLiteral("FWHM"), h.fwhm);
    figures->addRow(QStringLiteral("Integral breadth"), h.breadth);
    figures->addRow(QStringLiteral("u(FWHM)"), h.u_fwhm);
    auto* figure_column = new QVBoxLayout;
    figure_column->addLayout(figures);
    QLayout* thickness_row = nullptr;
    if (side == PatternSide::AirDried) {
        ad_figures_ = figures;
        thickness_row = build_thickness(box, figure_column);
    }
    figure_column->addStretch(0); // all the room the distribution leaves, or all of it
    plot_row->addLayout(figure_column);
    layout->addLayout(plot_row, 1);

    h.message = new QLabel(box);
    h.message->setWordWrap(true);
    h.message->setStyleSheet(QStringLiteral("QLabel { color: #c02020; }"));
    h.message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    h.message->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Minimum);
    layout->addWidget(h.message);
    h.counts = new QLabel(box);
    h.counts->setWordWrap(true);
    h.counts->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Minimum);
    layout->addWidget(h.counts);
    if (thickness_row != nullptr) {
        layout->addLayout(thickness_row);
    }

    connect(h.choose, &QPushButton::clicked, this, [this, side] { choose_file(side); });
    connect(h.scan, &QComboBox::activated, this, [this, side](int index) {
        session_.choose_scan(side, static_cast<std::size_t>(index));
        refresh();
    });
    connect(h.anode, &QComboBox::activated, this, [this, side, anode = h.anode] {
        session_.choose_anode(side, anode->currentText().toStdString());
        refresh();
    });
    h.plot->on_range_moved = [this] { refresh(); };
    h.plot->on_file_dropped = [this, side](const std::string& path) { open_pattern(side, path); };
    return box;
}

QLayout* MeasureDialog::build_thickness(QWidget* box, QBoxLayout* figure_column) {
    n_profile = new QLabel(box);
    n_profile->setToolTip(QStringLiteral(
        "The mean number of layers of the stacks, each stack counted once, from the profile of "
        "the 001 (Bertaut-Warren-Averbach), the instrument removed with the pattern of the "
        "instrument profile's standard (Stokes), and its u from resampled counts: what "
        "teravine-cli thickness gives in this range"));
    ad_figures_->addRow(QStringLiteral("N (profile)"), n_profile);
    distribution = new ThicknessPlotWidget(thickness_, box);
    figure_column->addWidget(distribution, 1);
    auto* row = new QHBoxLayout;
    thickness_note = new QLabel(box);
    thickness_note->setWordWrap(true);
    thickness_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    thickness_note->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Minimum);
    find_standard = new QPushButton(box);
    find_standard->setAutoDefault(false);
    row->addWidget(thickness_note, 1);
    row->addWidget(find_standard, 0, Qt::AlignTop);
    connect(find_standard, &QPushButton::clicked, this, [this] { ask_for_standard(); });
    return row;
}

void MeasureDialog::ask_for_standard() {
    const QString name = QString::fromStdString(thickness_.standard_name());
    choose_pattern_file(
        this, thickness_note, [this](const std::string& path) { point_to_standard(path); },
        QStringLiteral("The standard's pattern %1, of the instrument profile in use").arg(name),
        name);
}

void MeasureDialog::point_to_standard(const std::string& path) {
    thickness_.point_to(path);
    window_settings().setValue(kStandardKey, QString::fromStdString(path));
    refresh();
}

void MeasureDialog::analyse_pending() {
    auto pending = thickness_.request(session_);
    if (!pending) {
        return;
    }
    const auto request = std::make_shared<const ThicknessRequest>(std::move(*pending));
    *latest_thickness_ = request->serial;
    run_on_pool<ThicknessOutcome>(
        this,
        [request, latest = latest_thickness_]() -> std::optional<ThicknessOutcome> {
            if (*latest != request->serial) {
                return std::nullopt; // superseded before it started
            }
            return ProfileThickness::analyse(*request);
        },
        [this](std::optional<ThicknessOutcome> outcome) { take_analysed(std::move(outcome)); });
}

void MeasureDialog::take_analysed(std::optional<ThicknessOutcome> outcome) {
    if (!outcome || !thickness_.take(std::move(*outcome))) {
        return;
    }
    refresh();
    if (isVisible() && thickness_.ask_unprompted()) {
        // After the outcome's handling: the file dialog runs an event loop of its own.
        QTimer::singleShot(0, this, [this] { ask_for_standard(); });
    }
}

void MeasureDialog::refresh_preview() {
    if (preview_ && session_.widths_ready()) {
        preview->setText(
            QStringLiteral("With the rule and broadening of the window: ") +
            QString::fromStdString(preview_(session_.box_text(PatternSide::AirDried),
                                            session_.box_text(PatternSide::Glycolated))));
    } else {
        preview->setText(QString());
    }
}

void MeasureDialog::set_stacked(bool stacked) {
    const auto direction = stacked ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight;
    if (halves_layout_->direction() != direction) {
        halves_layout_->setDirection(direction);
        layout()->activate();
    }
}

int MeasureDialog::side_by_side_width() const {
    const QMargins margins = layout()->contentsMargins();
    return half(PatternSide::AirDried).frame->sizeHint().width() +
           half(PatternSide::Glycolated).frame->sizeHint().width() + halves_layout_->spacing() +
           margins.left() + margins.right();
}

void MeasureDialog::resizeEvent(QResizeEvent* event) {
    // Sized by the user or the screen: the halves side by side only when both fit whole.
    set_stacked(width() < side_by_side_width());
    QDialog::resizeEvent(event);
}

QWidget* MeasureDialog::build_controls() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    range_lo = range_end_box(row);
    range_hi = range_end_box(row);
    reset_range = new QPushButton(QStringLiteral("Default Range"), row);
    log_counts = new QCheckBox(QStringLiteral("Log counts"), row);
    save_figure = new QPushButton(QStringLiteral("Save Figure…"), row);
    use_widths = new QPushButton(QStringLiteral("Use widths"), row);
    use_and_draw = new QPushButton(QStringLiteral("Use and Draw"), row);
    auto* close_button = new QPushButton(QStringLiteral("Close"), row);
    method = width_method_box(row);
    method->setToolTip(QStringLiteral(
        "How the widths are taken: the half-height reading, or a fitted profile whose "
        "Kα1 width is given (measure the standard by the same method)"));
    components = new QSpinBox(row);
    components->setRange(1, 3);
    components->setToolTip(QStringLiteral("Overlapped profiles fitted; the tallest is used"));
    alpha2_ratio = alpha2_ratio_box(row);
    layout->addWidget(new QLabel(QStringLiteral("Range 2θ (Cu Kα)"), row));
    layout->addWidget(range_lo);
    layout->addWidget(new QLabel(QStringLiteral("to"), row));
    layout->addWidget(range_hi);
    layout->addWidget(reset_range);
    layout->addWidget(log_counts);
    layout->addWidget(new QLabel(QStringLiteral("Kα2 ratio"), row));
    layout->addWidget(alpha2_ratio);
    layout->addStretch(1);
    // The buttons on a line of their own, so the dialog fits beside the window.
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("Width by"), row));
    buttons->addWidget(method);
    buttons->addWidget(new QLabel(QStringLiteral("Components"), row));
    buttons->addWidget(components);
    buttons->addStretch(1);
    for (QPushButton* button : {save_figure, use_widths, use_and_draw, close_button}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    auto* rows = new QVBoxLayout;
    rows->setContentsMargins(0, 0, 0, 0);
    rows->addLayout(layout);
    rows->addLayout(buttons);
    row->setLayout(rows);

    connect(range_lo, &QDoubleSpinBox::valueChanged, this, [this] { range_typed(); });
    connect(range_hi, &QDoubleSpinBox::valueChanged, this, [this] { range_typed(); });
    connect(reset_range, &QPushButton::clicked, this, [this] {
        session_.reset_range();
        refresh();
    });
    connect(log_counts, &QCheckBox::toggled, this, [this](bool on) {
        session_.set_log_counts(on);
        refresh();
    });
    connect(method, &QComboBox::currentIndexChanged, this, [this] { method_chosen(); });
    connect(components, &QSpinBox::valueChanged, this, [this] { method_chosen(); });
    connect(alpha2_ratio, &QDoubleSpinBox::valueChanged, this, [this] {
        session_.set_alpha2_ratio(chosen_alpha2_ratio(*alpha2_ratio));
        refresh();
    });
    connect(save_figure, &QPushButton::clicked, this, [this] {
        choose_figure_file(this, [this](const std::string& path) { return save_figure_to(path); });
    });
    connect(use_widths, &QPushButton::clicked, this, [this] { session_.use_widths(); });
    connect(use_and_draw, &QPushButton::clicked, this, [this] {
        if (session_.use_widths() && draw_) {
            draw_();
        }
    });
    connect(close_button, &QPushButton::clicked, this, &QDialog::close);
    return row;
}

void MeasureDialog::open_pattern(PatternSide side, const std::string& path) {
    const ReadRequest request = session_.request_open(side, path);
    run_on_pool<ReadResult>(
        this, [request] { return std::optional(MeasureSession::read_and_measure(request)); },
        [this](std::optional<ReadResult> result) {
            if (!result) {
                return;
            }
            const PatternSide read_side = result->request.side;
            if (session_.take_result(std::move(*result))) { // else a later file superseded it
                fill_choices(read_side);
                refresh();
            }
        });
    fill_choices(side);
    refresh();
}

void MeasureDialog::measure_pending() {
    for (MeasureRequest& pending : session_.take_requests()) {
        const auto request = std::make_shared<const MeasureRequest>(std::move(pending));
        (*latest_)[static_cast<std::size_t>(request->side)] = request->serial;
        run_on_pool<MeasureResult>(
            this,
            [request, latest = latest_]() -> std::optional<MeasureResult> {
                if ((*latest)[static_cast<std::size_t>(request->side)] != request->serial) {
                    return std::nullopt; // superseded before it was measured
                }
                return MeasureSession::measure_request(*request);
            },
            [this](std::optional<MeasureResult> result) {
                // else a later change superseded it
                if (result && session_.take_measured(std::move(*result))) {
                    refresh();
                }
            });
    }
}

void MeasureDialog::fill_choices(PatternSide side) {
    const Half& h = half(side);
    const MeasuredHalf& m = session_.half(side);
    const QSignalBlocker blocker(h.scan);
    h.scan->clear();
    for (const std::string& name : session_.scan_names(side)) {
        h.scan->addItem(QString::fromStdString(name));
    }
    h.scan->setCurrentIndex(static_cast<int>(m.scan));
    h.scan->setVisible(h.scan->count() > 1);
}

void MeasureDialog::choose_file(PatternSide side) {
    choose_pattern_file(this, halves_[static_cast<std::size_t>(side)].message,
                        [this, side](const std::string& path) { open_pattern(side, path); });
}

void MeasureDialog::show_thickness() {
    const bool shown = thickness_.shown();
    ad_figures_->setRowVisible(n_profile, shown);
    n_profile->setText(QString::fromStdString(thickness_.readout()));
    distribution->setVisible(shown);
    distribution->setToolTip(QString::fromStdString(thickness_.distribution_tip()));
    distribution->update();
    const std::string& problem = thickness_.problem();
    thickness_note->setText(QString::fromStdString(problem));
    thickness_note->setVisible(shown && !problem.empty());
    find_standard->setText(
        QStringLiteral("Find %1…").arg(QString::fromStdString(thickness_.standard_name())));
    find_standard->setVisible(shown && thickness_.asks_for_standard());
}

std::optional<std::string> MeasureDialog::save_figure_to(const std::string& path) const {
    return write_peak_image(
        path, {session_.panel(PatternSide::AirDried), session_.panel(PatternSide::Glycolated)});
}

void MeasureDialog::range_typed() {
    session_.set_range({range_lo->value(), range_hi->value()});
    refresh(); // a refused range shows the one still in use
}

void MeasureDialog::method_chosen() {
    session_.set_method(chosen_width_method(*method, components->value()));
    refresh();
}

void MeasureDialog::measure_like(const Measurement& measured) {
    session_.measure_like(measured);
    {
        const QSignalBlocker method_blocker(method);
        const QSignalBlocker components_blocker(components);
        const QSignalBlocker ratio_blocker(alpha2_ratio);
        method->setCurrentIndex(static_cast<int>(width_method_index(session_.method())));
        components->setValue(session_.method().options().components);
        show_alpha2_ratio(*alpha2_ratio, session_.alpha2_ratio());
    }
    refresh();
}

void MeasureDialog::refresh() {
    // Whatever the change left to measure or to analyse goes to the pool first.
    measure_pending();
    analyse_pending();
    {
        const QSignalBlocker lo_blocker(range_lo);
        const QSignalBlocker hi_blocker(range_hi);
        range_lo->setValue(session_.range().lo);
        range_hi->setValue(session_.range().hi);
    }
    for (const PatternSide side : {PatternSide::AirDried, PatternSide::Glycolated}) {
        const Half& h = half(side);
        const MeasuredHalf& m = session_.half(side);
        const QString path = QString::fromStdString(m.path);
        // A long path loses its middle, its file name stays in view; the whole path is
        // in the tooltip.
        h.file->setText(m.path.empty()
                            ? QStringLiteral("No pattern: open one or drop it here")
                            : h.file->fontMetrics().elidedText(path, Qt::ElideMiddle,
                                                               std::max(h.file->width(), 200)));
        h.file->setToolTip(path);
        const auto show = [&](QLabel* label, double PeakWidth::*figure) {
            label->setText(m.width ? degrees((*m.width).*figure) : QStringLiteral("–"));
        };
        show(h.position, &PeakWidth::position);
        show(h.fwhm, &PeakWidth::fwhm);
        show(h.breadth, &PeakWidth::breadth);
        show(h.u_fwhm, &PeakWidth::u_fwhm);
        h.message->setText(QString::fromStdString(session_.message(side)));
        const std::string counts = session_.count_note(side);
        h.counts->setText(QString::fromStdString(counts));
        h.counts->setVisible(!counts.empty());
        h.status->setText(
            m.reading
                ? QStringLiteral("Reading %1…").arg(QString::fromStdString(pattern_name(m.path)))
            : m.measuring ? QStringLiteral("Measuring…")
                          : QString());
        const Pattern* pattern = m.pattern();
        const bool stated = pattern != nullptr && m.states_wavelength[m.scan];
        h.anode->setEnabled(pattern != nullptr && !stated);
        {
            // A scan that states its wavelength shows its anode; another the one told, Cu
            // until one is.
            const QSignalBlocker blocker(h.anode);
            const std::string anode = session_.anode(side);
            h.anode->setCurrentIndex(h.anode->findText(
                QString::fromStdString(anode.empty() && !stated ? std::string("Cu") : anode)));
        }
        h.plot->update();
    }
    components->setEnabled(session_.method().fits());
    alpha2_ratio->setEnabled(session_.method().fits());
    show_thickness();
    // The sample placed takes the thickness along: the widths wait for it.
    const bool ready = session_.widths_ready() && !thickness_.analysing();
    refresh_preview();
    const std::string note = session_.calibration_note();
    calibration_note->setText(QString::fromStdString(note));
    calibration_note->setVisible(!note.empty());
    use_widths->setEnabled(ready);
    use_and_draw->setEnabled(ready);
    save_figure->setEnabled(session_.half(PatternSide::AirDried).pattern() != nullptr ||
                            session_.half(PatternSide::Glycolated).pattern() != nullptr);
}

} // namespace teravine
