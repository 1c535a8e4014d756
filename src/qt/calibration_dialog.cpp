// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/calibration_dialog.h"

#include "formats/pattern.h"
#include "qt/cis_plot_widget.h"
#include "qt/file_dialogs.h"
#include "qt/fitting_scroll_area.h"
#include "qt/pool_task.h"
#include "qt/render/cis_figure.h"
#include "qt/width_method_box.h"
#include "standards/calibration_method.h"
#include "standards/cis_standards.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <exception>
#include <memory>

namespace teravine {
namespace {

enum StandardColumn { kName, kCertified, kFwhm, kU, kPattern, kColumns };
constexpr int kSerialRole = Qt::UserRole;
constexpr int kMeasuredRole = Qt::UserRole + 1;  // a measured figure in full, beside its text
constexpr int kPublishedRole = Qt::UserRole + 2; // a published CIS value shown, not typed
constexpr int kRatioRole = Qt::UserRole + 3;     // the Kα2 ratio the fit of its pattern took

QDoubleSpinBox* degree_box(QWidget* parent, double lo, double hi, int decimals) {
    auto* box = new QDoubleSpinBox(parent);
    box->setDecimals(decimals);
    box->setRange(lo, hi);
    box->setSingleStep(decimals > 2 ? 0.01 : 0.1);
    box->setSuffix(QStringLiteral("°"));
    box->setKeyboardTracking(false);
    return box;
}

QPushButton* button(QWidget* parent, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setAutoDefault(false);
    return b;
}

QLabel* message_label(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("QLabel { color: #c02020; }"));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QString degrees(double value) {
    return QString::fromStdString(width_text(value));
}

// A cell's text; a measured figure whose text is still the one shown when it was measured
// in every digit, so that the fit is that of `cis fit` on the same patterns.
std::string cell(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    if (item == nullptr || item->data(kPublishedRole).toBool()) {
        return {}; // a published value shown is taken by the standard's name
    }
    const QVariant measured = item->data(kMeasuredRole);
    const std::string shown = item->text().trimmed().toStdString();
    return measured.isValid() ? measured_cell_text(shown, measured.toDouble()) : shown;
}

void show_measured(QTableWidgetItem* item, double value) {
    item->setText(degrees(value));
    item->setData(kMeasuredRole, value);
}

} // namespace

CalibrationDialog::CalibrationDialog(Terav& terav, QWidget* parent)
    : QDialog(parent), terav_(terav) {
    setWindowTitle(QStringLiteral("Calibration"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    // The parts scroll when the screen is too small for them; Close stays in view.
    auto* parts = new QWidget;
    auto* parts_layout = new QVBoxLayout(parts);
    parts_layout->setContentsMargins(0, 0, 0, 0);
    parts_layout->addWidget(build_measuring());
    parts_layout->addWidget(build_profile());
    parts_layout->addWidget(build_cis(), 1);
    layout->addWidget(new FittingScrollArea(parts, this), 1);
    auto* close_row = new QHBoxLayout;
    close_row->addStretch(1);
    QPushButton* close_button = button(this, "Close");
    close_row->addWidget(close_button);
    layout->addLayout(close_row);
    connect(close_button, &QPushButton::clicked, this, &QDialog::close);
    refresh();
}

QWidget* CalibrationDialog::build_measuring() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    method = width_method_box(row);
    method->setToolTip(QStringLiteral("Measure the standards by the method the samples are "
                                      "measured by"));
    alpha2_ratio = alpha2_ratio_box(row);
    layout->addWidget(new QLabel(QStringLiteral("Standards' patterns: width by"), row));
    layout->addWidget(method);
    layout->addWidget(new QLabel(QStringLiteral("Kα2 ratio"), row));
    layout->addWidget(alpha2_ratio);
    layout->addStretch(1);
    // The ratio is a fit's: it waits while the half-height reading is chosen.
    const auto fits = [this] { alpha2_ratio->setEnabled(chosen_width_method(*method).fits()); };
    connect(method, &QComboBox::currentIndexChanged, this, fits);
    fits();
    return row;
}

// "Range 2θ (Cu Kα) [lo] to [hi]" on a row of its own.
static QHBoxLayout* range_row(QWidget* parent, QDoubleSpinBox*& lo, QDoubleSpinBox*& hi,
                              const PeakRange& range) {
    auto* row = new QHBoxLayout;
    lo = degree_box(parent, 0.01, 179.99, 2);
    hi = degree_box(parent, 0.01, 179.99, 2);
    lo->setValue(range.lo);
    hi->setValue(range.hi);
    row->addWidget(new QLabel(QStringLiteral("Range 2θ (Cu Kα)"), parent));
    row->addWidget(lo);
    row->addWidget(new QLabel(QStringLiteral("to"), parent));
    row->addWidget(hi);
    return row;
}

QWidget* CalibrationDialog::build_profile() {
    auto* box = new QGroupBox(QStringLiteral("Instrument profile"), this);
    auto* layout = new QVBoxLayout(box);
    profile_state = new QLabel(box);
    profile_state->setWordWrap(true);
    profile_state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    profile_message = message_label(box);
    auto* buttons = new QHBoxLayout;
    QPushButton* open = button(box, "Open Profile…");
    QPushButton* make = button(box, "Make from Standard's Pattern…");
    save_profile = button(box, "Save Profile…");
    stop_profile = button(box, "Stop Using");
    make->setToolTip(QStringLiteral("Measures the 001 peak of a well-crystallised standard (a "
                                    "coarse mica) in the range above: b is its FWHM"));
    QHBoxLayout* range = range_row(box, profile_lo, profile_hi, kStandardRange);
    for (QPushButton* b : {open, make, save_profile, stop_profile}) {
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    range->addStretch(1);
    layout->addWidget(profile_state);
    layout->addLayout(range);
    layout->addLayout(buttons);
    layout->addWidget(profile_message);

    connect(open, &QPushButton::clicked, this, [this] {
        terav_.open_instrument_profile_Click();
        refresh();
    });
    connect(make, &QPushButton::clicked, this, [this] {
        choose_pattern_file(this, profile_message,
                            [this](const std::string& path) { make_profile(path); });
    });
    connect(save_profile, &QPushButton::clicked, this,
            [this] { terav_.save_instrument_profile_Click(); });
    connect(stop_profile, &QPushButton::clicked, this, [this] {
        terav_.stop_instrument_profile();
        refresh();
    });
    return box;
}

QWidget* CalibrationDialog::build_cis() {
    auto* box = new QGroupBox(QStringLiteral("CIS calibration"), this);
    auto* layout = new QVBoxLayout(box);

    auto* choices = new QHBoxLayout;
    index = new QComboBox(box);
    index->addItem(QStringLiteral("Kübler index (illite 10 Å)"));
    index->addItem(QStringLiteral("Árkai index (chlorite 7 Å)"));
    limits = new QComboBox(box);
    limits->addItem(QStringLiteral("2015: anchizone 0.32–0.52"), QStringLiteral("2015"));
    limits->addItem(QStringLiteral("1994: anchizone 0.25–0.42"), QStringLiteral("1994"));
    limits->addItem(QStringLiteral("Own limits"), QStringLiteral("own"));
    own_lower = degree_box(box, 0.01, 5, 3);
    own_upper = degree_box(box, 0.01, 5, 3);
    choices->addWidget(index);
    choices->addWidget(new QLabel(QStringLiteral("Zones"), box));
    choices->addWidget(limits);
    choices->addWidget(own_lower);
    choices->addWidget(new QLabel(QStringLiteral("to"), box));
    choices->addWidget(own_upper);
    choices->addStretch(1);
    layout->addLayout(choices);
    QHBoxLayout* range = range_row(box, cis_lo, cis_hi, PeakRange{});
    range->addStretch(1);
    layout->addLayout(range);

    standards = new QTableWidget(0, kColumns, box);
    standards->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("CIS value"),
                                          QStringLiteral("FWHM"), QStringLiteral("u(FWHM)"),
                                          QStringLiteral("Pattern")});
    standards->horizontalHeader()->setStretchLastSection(true);
    standards->verticalHeader()->hide();
    standards->setToolTip(QStringLiteral(
        "Each standard: its name, its CIS value (empty: the published value of a known "
        "standard such as SW1-2012), and the FWHM your laboratory measured on it"));
    standards->setMinimumHeight(130);
    connect(standards, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == kName) {
            show_published(item->row());
        } else if (item->column() == kCertified) {
            if (item->data(kPublishedRole).toBool()) {
                // Typed over: the value is the user's own from now on.
                const QSignalBlocker block(standards);
                item->setData(kPublishedRole, false);
                QFont font = item->font();
                font.setItalic(false);
                item->setFont(font);
                item->setForeground(palette().color(QPalette::Text));
                item->setToolTip(QString());
            }
            show_published(item->row()); // emptied: the published value again
        }
    });
    layout->addWidget(standards);

    auto* edit_row = new QHBoxLayout;
    QPushButton* add_row = button(box, "Add Row");
    QPushButton* add_pattern = button(box, "Add Pattern…");
    QPushButton* remove_row = button(box, "Remove Row");
    QPushButton* fit = button(box, "Fit and Use");
    for (QPushButton* b : {add_row, add_pattern, remove_row, fit}) {
        edit_row->addWidget(b);
    }
    edit_row->addStretch(1);
    layout->addLayout(edit_row);
    auto* file_row = new QHBoxLayout;
    QPushButton* open = button(box, "Open Calibration…");
    save_calibration = button(box, "Save Calibration…");
    save_figure = button(box, "Save Figure…");
    stop_cis = button(box, "Stop Using");
    for (QPushButton* b : {open, save_calibration, save_figure, stop_cis}) {
        file_row->addWidget(b);
    }
    file_row->addStretch(1);
    layout->addLayout(file_row);
    cis_state = new QLabel(box);
    cis_state->setWordWrap(true);
    cis_state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cis_message = message_label(box);
    layout->addWidget(cis_state);
    layout->addWidget(cis_message);
    plot = new CisPlotWidget(terav_.state().lab, box);
    layout->addWidget(plot, 1);

    connect(add_row, &QPushButton::clicked, this, [this] { add_standard({}, {}, {}); });
    connect(add_pattern, &QPushButton::clicked, this, [this] {
        choose_pattern_files(this, cis_message,
                             [this](const std::string& path) { add_standard_pattern(path); });
    });
    connect(remove_row, &QPushButton::clicked, this, [this] {
        if (standards->currentRow() >= 0) {
            standards->removeRow(standards->currentRow());
        }
    });
    connect(fit, &QPushButton::clicked, this, [this] { fit_standards(); });
    connect(open, &QPushButton::clicked, this, [this] {
        terav_.open_cis_calibration_Click();
        refresh();
    });
    connect(save_calibration, &QPushButton::clicked, this, [this] {
        terav_.save_cis_calibration_Click();
        refresh();
    });
    connect(save_figure, &QPushButton::clicked, this, [this] {
        choose_figure_file(this, [this](const std::string& path) { return save_figure_to(path); });
    });
    connect(stop_cis, &QPushButton::clicked, this, [this] {
        terav_.stop_cis_calibration();
        refresh();
    });
    connect(limits, &QComboBox::activated, this, [this] { limits_chosen(); });
    connect(index, &QComboBox::activated, this, [this] { index_chosen(); });
    connect(own_lower, &QDoubleSpinBox::valueChanged, this, [this] { limits_chosen(); });
    connect(own_upper, &QDoubleSpinBox::valueChanged, this, [this] { limits_chosen(); });
    return box;
}

void CalibrationDialog::read_in_pool(std::uint64_t serial, const std::string& path, bool profile) {
    const WidthMethod how = chosen_width_method(*method);
    const std::optional<double> ratio = chosen_alpha2_ratio(*alpha2_ratio);
    InstrumentRequest request;
    request.range = {profile_lo->value(), profile_hi->value()};
    request.method = how;
    const PeakRange range{cis_lo->value(), cis_hi->value()};
    ++readings_;
    run_on_pool<Reading>(
        this,
        [serial, path, profile, request, range, how, ratio] {
            Reading reading{serial, path, Failure{}, Failure{}};
            try {
                if (profile) {
                    PatternChoice choice; // the only scan that covers the peaks, of several
                    choice.how_to_choose = kStandardScanChoice;
                    choice.alpha2_ratio = ratio;
                    reading.profile = measure_instrument_file(path, choice, request);
                } else {
                    reading.width = measure_standard(path, range, how, ratio);
                }
            } catch (const std::exception&) { // memory ran out: the file is refused, not the dialog
                const Failure failure{
                    pattern_subject(path) +
                    " cannot be measured: it needs more memory than this computer has."};
                reading.profile = failure;
                reading.width = failure;
            }
            return std::optional(std::move(reading));
        },
        [this](std::optional<Reading> reading) { take_reading(std::move(reading)); });
}

void CalibrationDialog::index_chosen() {
    // Each index has its peak: the illite 10 Å or the chlorite 7 Å (002).
    const PeakRange range =
        index_peak_range(index->currentIndex() == 0 ? CisIndex::kubler : CisIndex::arkai);
    cis_lo->setValue(range.lo);
    cis_hi->setValue(range.hi);
    for (int row = 0; row < standards->rowCount(); ++row) {
        show_published(row);
    }
}

void CalibrationDialog::show_published(int row) {
    QTableWidgetItem* item = standards->item(row, kCertified);
    const QTableWidgetItem* name = standards->item(row, kName);
    if (item == nullptr || name == nullptr ||
        (!item->data(kPublishedRole).toBool() && !item->text().trimmed().isEmpty())) {
        return; // a value of the user's own stays
    }
    const CisIndex chosen = index->currentIndex() == 0 ? CisIndex::kubler : CisIndex::arkai;
    const auto known = certified_value(name->text().trimmed().toStdString(), chosen);
    const QSignalBlocker block(standards);
    item->setText(known ? QString::number(*known, 'f', 3) : QString());
    item->setData(kPublishedRole, known.has_value());
    QFont font = item->font();
    font.setItalic(known.has_value());
    item->setFont(font);
    item->setForeground(palette().color(known ? QPalette::PlaceholderText : QPalette::Text));
    item->setToolTip(known ? QStringLiteral("The published CIS value of %1; type over it "
                                            "to use another")
                                 .arg(name->text().trimmed())
                           : QString());
}

void CalibrationDialog::make_profile(const std::string& path) {
    profile_serial_ = ++next_serial_;
    profile_message->setText(
        QStringLiteral("Reading %1…").arg(QFileInfo(QString::fromStdString(path)).fileName()));
    read_in_pool(profile_serial_, path, true);
}

void CalibrationDialog::add_standard(const std::string& name, const std::string& certified,
                                     const std::string& fwhm) {
    const int row = standards->rowCount();
    standards->insertRow(row);
    const std::string texts[kColumns] = {name, certified, fwhm, {}, {}};
    for (int c = 0; c < kColumns; ++c) {
        standards->setItem(row, c, new QTableWidgetItem(QString::fromStdString(texts[c])));
    }
    standards->item(row, kName)->setData(kSerialRole, QVariant::fromValue(++next_serial_));
    show_published(row);
}

void CalibrationDialog::add_standard_pattern(const std::string& path) {
    const QFileInfo file(QString::fromStdString(path));
    add_standard(file.completeBaseName().toStdString(), {}, {});
    const int row = standards->rowCount() - 1;
    standards->item(row, kFwhm)->setText(QStringLiteral("reading…"));
    standards->item(row, kPattern)->setText(file.fileName());
    standards->item(row, kPattern)->setToolTip(file.absoluteFilePath());
    read_in_pool(standards->item(row, kName)->data(kSerialRole).toULongLong(), path, false);
}

int CalibrationDialog::row_of(std::uint64_t serial) const {
    for (int row = 0; row < standards->rowCount(); ++row) {
        if (standards->item(row, kName)->data(kSerialRole).toULongLong() == serial) {
            return row;
        }
    }
    return -1;
}

void CalibrationDialog::take_reading(std::optional<Reading> taken) {
    --readings_;
    if (!taken) {
        return;
    }
    const Reading reading = std::move(*taken);
    if (reading.serial == profile_serial_) {
        take_profile(reading);
        return;
    }
    const int row = row_of(reading.serial);
    if (row < 0) {
        return; // the row was removed meanwhile
    }
    if (!reading.width) {
        standards->item(row, kFwhm)->setText(QString());
        cis_message->setText(QString::fromStdString(reading.width.error()));
        return;
    }
    const PeakWidth& width = reading.width->width;
    show_measured(standards->item(row, kFwhm), width.fwhm);
    show_measured(standards->item(row, kU), width.u_fwhm);
    QTableWidgetItem* pattern = standards->item(row, kPattern);
    pattern->setData(kRatioRole, reading.width->alpha2_ratio
                                     ? QVariant(*reading.width->alpha2_ratio)
                                     : QVariant());
    const std::string& scan = reading.width->scan_note;
    if (!scan.empty()) {
        pattern->setToolTip(pattern->toolTip() + "\n" + QString::fromStdString(scan));
    }
    std::string said = scan;
    if (width.quality != "ok") {
        said += (said.empty() ? "" : "\n") + cell(standards, row, kName) + ": doubtful width (" +
                width.quality + ")";
    }
    cis_message->setText(QString::fromStdString(said));
}

void CalibrationDialog::take_profile(const Reading& reading) {
    if (!reading.profile) {
        profile_message->setText(QString::fromStdString(reading.profile.error()));
        return;
    }
    const std::string& quality = reading.profile->peaks.empty()
                                     ? std::string("ok")
                                     : reading.profile->peaks.front().width.quality;
    std::string said = reading.profile->scan_note;
    if (quality != "ok") {
        said += (said.empty() ? "Doubtful: " : "\nDoubtful: ") + quality;
    }
    profile_message->setText(QString::fromStdString(said));
    terav_.use_instrument_profile(reading.profile->profile, reading.path);
    refresh();
}

bool CalibrationDialog::fit_standards() {
    std::vector<StandardRow> rows;
    for (int row = 0; row < standards->rowCount(); ++row) {
        StandardRow r{cell(standards, row, kName), cell(standards, row, kCertified),
                      cell(standards, row, kFwhm), 0};
        r.u_fwhm = QString::fromStdString(cell(standards, row, kU)).toDouble();
        // A FWHM typed over the measured one was not taken by that fit.
        const QTableWidgetItem* fwhm = standards->item(row, kFwhm);
        const QVariant ratio = standards->item(row, kPattern)->data(kRatioRole);
        const QVariant measured = fwhm->data(kMeasuredRole);
        if (ratio.isValid() && measured.isValid() &&
            fwhm->text().trimmed().toStdString() == width_text(measured.toDouble())) {
            r.alpha2_ratio = ratio.toDouble();
        }
        rows.push_back(std::move(r));
    }
    const CisIndex chosen = index->currentIndex() == 0 ? CisIndex::kubler : CisIndex::arkai;
    const bool fitted = terav_.fit_cis_calibration(rows, chosen, chosen_width_method(*method),
                                                   {cis_lo->value(), cis_hi->value()});
    cis_message->setText(QString());
    refresh();
    return fitted;
}

void CalibrationDialog::limits_chosen() {
    const QString scheme = limits->currentData().toString();
    const bool own = scheme == QLatin1String("own");
    const std::string text =
        own ? width_text(own_lower->value()) + ":" + width_text(own_upper->value())
            : scheme.toStdString();
    const auto chosen = parse_zone_limits(text);
    if (!chosen) {
        cis_message->setText(QString::fromStdString(chosen.error()));
        return;
    }
    cis_message->setText(QString());
    terav_.set_zone_limits(*chosen);
    refresh();
}

std::optional<std::string> CalibrationDialog::save_figure_to(const std::string& path) const {
    const LabCalibration& lab = terav_.state().lab;
    if (!lab.cis) {
        return "Cannot write " + path + ": no CIS calibration is loaded";
    }
    return write_cis_image(path, *lab.cis, lab.limits);
}

void CalibrationDialog::refresh() {
    const LabCalibration& lab = terav_.state().lab;
    profile_state->setText(QString::fromStdString(profile_state_text(lab)));
    save_profile->setEnabled(lab.profile.has_value());
    stop_profile->setEnabled(lab.profile.has_value());

    cis_state->setText(QString::fromStdString(cis_state_text(lab)));
    save_calibration->setEnabled(lab.cis.has_value());
    save_figure->setEnabled(lab.cis.has_value());
    stop_cis->setEnabled(lab.cis.has_value());
    {
        const QSignalBlocker block_limits(limits);
        const QSignalBlocker block_lower(own_lower);
        const QSignalBlocker block_upper(own_upper);
        const int at = limits->findData(QString::fromStdString(lab.limits.scheme));
        limits->setCurrentIndex(at < 0 ? 0 : at);
        own_lower->setValue(lab.limits.lower);
        own_upper->setValue(lab.limits.upper);
        const bool own = lab.limits.scheme == "own";
        own_lower->setEnabled(own);
        own_upper->setEnabled(own);
    }
    if (lab.cis) {
        const QSignalBlocker block_index(index);
        index->setCurrentIndex(lab.cis->index == CisIndex::kubler ? 0 : 1);
        // A calibration opened with no standards listed yet lists its own, to be fitted
        // again with changes.
        if (standards->rowCount() == 0) {
            for (const CisStandard& st : lab.cis->standards) {
                add_standard(st.name, {}, {});
                const int row = standards->rowCount() - 1;
                show_measured(standards->item(row, kCertified), st.cis);
                show_measured(standards->item(row, kFwhm), st.fwhm);
                if (st.u_fwhm > 0) {
                    show_measured(standards->item(row, kU), st.u_fwhm);
                }
            }
        }
    }
    plot->update();
}

} // namespace teravine
