// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/measure_folder_dialog.h"

#include "identify/sample_list.h"
#include "qt/pool_task.h"
#include "qt/width_method_box.h"
#include "text/number_text.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace teravine {
namespace {

constexpr int kSampleColumn = 0;
constexpr int kMeasuredColumn = 3;
const QColor kProblemColour{0xc0, 0x20, 0x20}; // as the sample table's doubtful widths

QTableWidget* table(QWidget* parent, const QStringList& titles) {
    auto* view = new QTableWidget(0, static_cast<int>(titles.size()), parent);
    view->setHorizontalHeaderLabels(titles);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setWordWrap(false);
    return view;
}

QTableWidgetItem* cell(const std::string& text, const std::string& tip = {}) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setToolTip(QString::fromStdString(tip.empty() ? text : tip));
    return item;
}

// "1 pair", "2 pairs".
QString counted(std::size_t n, const char* one, const char* many) {
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

std::string file_name(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).fileName().toStdString();
}

// "AD weak, EG edge;flank": the doubts on either width; empty for none.
std::string doubts_of(const ListedSample& sample) {
    std::string doubts;
    for (const auto& [side, quality] :
         {std::pair{"AD ", &sample.quality_ad}, std::pair{"EG ", &sample.quality_eg}}) {
        if (doubtful(*quality)) {
            doubts += (doubts.empty() ? "" : ", ") + std::string(side) + *quality;
        }
    }
    return doubts;
}

} // namespace

QString MeasureFolderDialog::standard_note(const Run& run) {
    return run.standard_problem.empty()
               ? QString()
               : QStringLiteral("\n") + QString::fromStdString(run.standard_problem);
}

MeasureFolderDialog::MeasureFolderDialog(Measuring measuring, Place place, QWidget* parent)
    : QDialog(parent), measuring_(std::move(measuring)), place_(std::move(place)) {
    setWindowTitle(QStringLiteral("Measure Folder"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);

    auto* folder_row = new QHBoxLayout;
    folder_label = new QLabel(this);
    folder_label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // a long path
    folder_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    choose = new QPushButton(QStringLiteral("Choose Folder…"), this);
    folder_row->addWidget(folder_label, 1);
    folder_row->addWidget(choose);
    layout->addLayout(folder_row);

    layout->addWidget(new QLabel(QStringLiteral("Pairs, each named after its files' common stem "
                                                "(_AD/_EG, -ad/-gly, AD/EG, in any case):"),
                                 this));
    pairs = table(this, {QStringLiteral("Sample"), QStringLiteral("AD"), QStringLiteral("EG"),
                         QStringLiteral("Measured")});
    layout->addWidget(pairs, 3);
    layout->addWidget(new QLabel(QStringLiteral("Patterns left unpaired:"), this));
    unpaired = table(this, {QStringLiteral("File"), QStringLiteral("Why")});
    layout->addWidget(unpaired, 1);

    auto* how_row = new QHBoxLayout;
    range_lo = range_end_box(this);
    range_hi = range_end_box(this);
    range_lo->setValue(PeakRange{}.lo);
    range_hi->setValue(PeakRange{}.hi);
    method = width_method_box(this);
    how_row->addWidget(new QLabel(QStringLiteral("Range"), this));
    how_row->addWidget(range_lo);
    how_row->addWidget(new QLabel(QStringLiteral("to"), this));
    how_row->addWidget(range_hi);
    how_row->addSpacing(12);
    how_row->addWidget(new QLabel(QStringLiteral("Width by"), this));
    how_row->addWidget(method);
    how_row->addStretch(1);
    layout->addLayout(how_row);

    progress = new QProgressBar(this);
    progress->setFormat(QStringLiteral("%v of %m pairs measured"));
    layout->addWidget(progress);
    summary = new QLabel(this);
    summary->setWordWrap(true);
    summary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(summary);

    auto* buttons = new QHBoxLayout;
    measure_button = new QPushButton(QStringLiteral("Measure"), this);
    measure_button->setDefault(true);
    cancel_button = new QPushButton(QStringLiteral("Cancel"), this);
    close_button = new QPushButton(QStringLiteral("Close"), this);
    buttons->addStretch(1);
    buttons->addWidget(measure_button);
    buttons->addWidget(cancel_button);
    buttons->addWidget(close_button);
    layout->addLayout(buttons);

    connect(choose, &QPushButton::clicked, this, [this] { choose_folder(); });
    connect(measure_button, &QPushButton::clicked, this, [this] { measure(); });
    connect(cancel_button, &QPushButton::clicked, this, [this] { cancel(); });
    connect(close_button, &QPushButton::clicked, this, &QDialog::close);
    show_state();
}

MeasureFolderDialog::~MeasureFolderDialog() {
    if (run_) {
        run_->dropped = true; // the pairs not yet started are not measured
    }
}

bool MeasureFolderDialog::choose_folder() {
    QFileDialog dialog(this, QStringLiteral("Choose a folder of AD and EG patterns"),
                       QString::fromStdString(folder_));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    // As the window's other file dialogs: the same dialog on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    show_folder(dialog.selectedFiles().front().toStdString());
    return true;
}

void MeasureFolderDialog::show_folder(const std::string& folder) {
    if (measuring()) {
        return;
    }
    folder_ = folder;
    auto found = pair_folder(folder);
    pairing_ = found ? std::move(found.value()) : FolderPairing{};
    const QString path = QString::fromStdString(folder);
    folder_label->setText(folder_label->fontMetrics().elidedText(
        path, Qt::ElideMiddle, std::max(folder_label->width(), 300)));
    folder_label->setToolTip(path);
    pairs->setRowCount(static_cast<int>(pairing_.pairs.size()));
    for (int row = 0; row < pairs->rowCount(); ++row) {
        const PatternPair& pair = pairing_.pairs[static_cast<std::size_t>(row)];
        pairs->setItem(row, kSampleColumn, cell(pair.name));
        pairs->setItem(row, 1, cell(file_name(pair.ad), pair.ad));
        pairs->setItem(row, 2, cell(file_name(pair.eg), pair.eg));
        pairs->setItem(row, kMeasuredColumn, cell(""));
    }
    unpaired->setRowCount(static_cast<int>(pairing_.unpaired.size()));
    for (int row = 0; row < unpaired->rowCount(); ++row) {
        const UnpairedFile& file = pairing_.unpaired[static_cast<std::size_t>(row)];
        unpaired->setItem(row, 0, cell(file_name(file.path), file.path));
        unpaired->setItem(row, 1, cell(file.reason));
    }
    for (QTableWidget* view : {pairs, unpaired}) {
        view->resizeColumnsToContents();
    }
    progress->setValue(0);
    progress->setMaximum(std::max<int>(1, pairs->rowCount()));
    summary->setText(!found ? QString::fromStdString(found.error())
                     : pairing_.pairs.empty()
                         ? QStringLiteral("No pair of an AD and an EG pattern in this folder.")
                         : QStringLiteral("%1 to measure, %2 left unpaired.")
                               .arg(counted(pairing_.pairs.size(), "pair", "pairs"),
                                    counted(pairing_.unpaired.size(), "pattern", "patterns")));
    show_state();
}

void MeasureFolderDialog::measure() {
    if (measuring() || pairing_.pairs.empty()) {
        return;
    }
    if (!(range_lo->value() < range_hi->value())) {
        summary->setText(QStringLiteral("The range's first end must lie below its second."));
        return;
    }
    auto how = measuring_(PeakRange{range_lo->value(), range_hi->value()}, folder_);
    if (!how) {
        summary->setText(QString::fromStdString(how.error()));
        return;
    }
    how.value().method = chosen_width_method(*method);
    const auto job = std::make_shared<const PairMeasuring>(std::move(how.value()));
    run_ = std::make_shared<Run>();
    run_->results.resize(pairing_.pairs.size());
    run_->standard_problem = job->standard_problem;
    progress->setMaximum(static_cast<int>(pairing_.pairs.size()));
    progress->setValue(0);
    summary->setText(QStringLiteral("Measuring…") + standard_note(*run_));
    for (std::size_t row = 0; row < pairing_.pairs.size(); ++row) {
        pairs->setItem(static_cast<int>(row), kMeasuredColumn, cell(""));
        run_on_pool<PairResult>(
            this,
            [pair = pairing_.pairs[row], job, run = run_]() -> std::optional<PairResult> {
                if (run->dropped) {
                    return std::nullopt;
                }
                PairResult result;
                try {
                    PairMeasurement measured = measure_pair(pair, *job);
                    if (measured.sample) {
                        result.problem = doubts_of(*measured.sample);
                        result.sample = std::move(measured.sample);
                        result.n_profile_problem = std::move(measured.n_profile_problem);
                    } else {
                        result.problem = !measured.ad ? measured.ad.error() : measured.eg.error();
                    }
                } catch (const std::exception& e) {
                    result.problem = std::string("it could not be measured: ") + e.what();
                }
                return result;
            },
            [this, row, run = run_](std::optional<PairResult> result) {
                take(std::move(result), row, run);
            });
    }
    show_state();
}

void MeasureFolderDialog::take(std::optional<PairResult> taken, std::size_t row,
                               const std::shared_ptr<Run>& run) {
    if (run != run_) {
        return; // a run cancelled since
    }
    PairResult result = taken ? std::move(*taken) : PairResult{std::nullopt, "not measured", {}};
    std::string text;
    std::string tip;
    if (result.sample) {
        const auto& n_profile = result.sample->n_profile;
        text = "AD " + width_text(result.sample->ad) + ", EG " + width_text(result.sample->eg);
        if (n_profile) {
            text += ", N (profile) " + format_fixed(*n_profile, 2);
        } else if (!result.n_profile_problem.empty()) {
            text += ", no N (profile)";
            tip = "\nNo N (profile): " + result.n_profile_problem;
        }
        text += result.problem.empty() ? "" : "; doubtful: " + result.problem;
        tip = tip.empty() ? tip : text + tip;
    } else {
        text = "left out: " + result.problem;
    }
    QTableWidgetItem* item = cell(text, tip);
    if (!result.problem.empty()) {
        item->setForeground(kProblemColour);
    }
    pairs->setItem(static_cast<int>(row), kMeasuredColumn, item);
    run_->results[row] = std::move(result);
    progress->setValue(static_cast<int>(++run_->done));
    if (run_->done == run_->results.size()) {
        finish();
    }
}

void MeasureFolderDialog::finish() {
    const std::shared_ptr<Run> run = std::move(run_);
    NamedList list;
    list.has_broadening = true;
    std::size_t doubtful_pairs = 0;
    for (std::optional<PairResult>& result : run->results) {
        if (result && result->sample) {
            doubtful_pairs += result->problem.empty() ? 0 : 1;
            list.samples.push_back(std::move(*result->sample));
            list.samples.back().line = static_cast<int>(list.samples.size());
        }
    }
    const std::size_t left_out = run->results.size() - list.samples.size();
    QString said = QStringLiteral("%1 measured, %2 left out, %3 with doubtful widths")
                       .arg(counted(list.samples.size(), "pair", "pairs"))
                       .arg(left_out)
                       .arg(doubtful_pairs);
    summary->setText(
        (list.samples.empty()
             ? said + QStringLiteral(": nothing was placed.")
             : said + QStringLiteral("; the measured pairs are in the sample table.")) +
        standard_note(*run));
    show_state();
    if (!list.samples.empty()) {
        place_(list, folder_);
    }
}

void MeasureFolderDialog::cancel() {
    if (!run_) {
        return;
    }
    run_->dropped = true;
    run_.reset();
    progress->setValue(0);
    summary->setText(QStringLiteral("Cancelled: nothing was placed."));
    show_state();
}

void MeasureFolderDialog::done(int result) {
    cancel();
    QDialog::done(result);
}

void MeasureFolderDialog::show_state() {
    const bool busy = measuring();
    choose->setEnabled(!busy);
    measure_button->setEnabled(!busy && !pairing_.pairs.empty());
    cancel_button->setEnabled(busy);
    range_lo->setEnabled(!busy);
    range_hi->setEnabled(!busy);
    method->setEnabled(!busy);
}

} // namespace teravine
