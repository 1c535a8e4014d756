// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/sample_table_dock.h"

#include "app/sample_table_text.h"
#include "identify/uncertainty.h"

#include <QAction>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace teravine {
namespace {

// Ctrl+C and Delete belong to the table while it has the focus: they copy its rows and
// remove its samples, not the picture and not the main window's command.
// Sorts by the column's values, keeping the rows not placed after the samples in either
// order.
class PlacedFirstSort final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        const int placed = static_cast<const SampleTableModel*>(sourceModel())->placed_rows();
        const bool left_placed = left.row() < placed;
        const bool right_placed = right.row() < placed;
        if (left_placed != right_placed) {
            // Qt reverses the comparison for a descending order.
            return left_placed == (sortOrder() == Qt::AscendingOrder);
        }
        if (!left_placed) {
            return (left.row() < right.row()) == (sortOrder() == Qt::AscendingOrder);
        }
        return QSortFilterProxyModel::lessThan(left, right);
    }
};

class SampleTableView final : public QTableView {
public:
    std::function<void()> on_copy;
    std::function<void()> on_delete;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Delete)) {
                event->accept();
                return true;
            }
        }
        return QTableView::event(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy) && on_copy) {
            on_copy();
        } else if (event->matches(QKeySequence::Delete) && on_delete) {
            on_delete();
        } else {
            QTableView::keyPressEvent(event);
        }
    }
};

} // namespace

SampleTableDock::SampleTableDock(const SampleList& samples,
                                 const std::vector<UnplacedSample>& unplaced,
                                 const LabCalibration& lab, QWidget* parent)
    : QDockWidget(QStringLiteral("Sample Table"), parent), samples_(samples), unplaced_(unplaced) {
    setObjectName(QStringLiteral("sample_table"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    tools_ = new QToolBar(body);
    QAction* export_csv = tools_->addAction(QString::fromUtf8("Export CSV…"));
    connect(export_csv, &QAction::triggered, this, [this] {
        if (on_export) {
            on_export();
        }
    });
    tools_->addSeparator();
    tools_->addWidget(new QLabel(QString::fromUtf8(" σ of the widths: "), tools_));
    sigma_ = new QDoubleSpinBox(tools_);
    sigma_->setRange(0, static_cast<double>(kMaxWidthSigma)); // as high as a session holds
    sigma_->setSingleStep(0.001);
    sigma_->setDecimals(3);
    sigma_->setSuffix(QString::fromUtf8("°"));
    sigma_->setSpecialValueText(QStringLiteral("off"));
    sigma_->setKeyboardTracking(false); // a typed value counts once it is entered
    sigma_->setToolTip(QString::fromUtf8(
        "Standard uncertainty of both measured widths: the table shows the interval of N, "
        "%S, k and Nfp over their 1σ region"));
    connect(sigma_, &QDoubleSpinBox::valueChanged, this, [this](double sigma) {
        model_->set_intervals(sigma > 0);
        if (on_sigma) {
            on_sigma(static_cast<float>(sigma));
        }
    });
    tools_->addWidget(sigma_);
    layout->addWidget(tools_);

    auto* view = new SampleTableView;
    view_ = view;
    model_ = new SampleTableModel(samples, unplaced, lab, this);
    // Any column sorts (numbers by value); the rows not placed stay after the others.
    auto* sorted = new PlacedFirstSort(this);
    sorted->setSourceModel(model_);
    sorted->setSortRole(SampleTableModel::kSortRole);
    view->setModel(sorted);
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A name is edited in place: the other cells show what the samples are.
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    view->verticalHeader()->hide();
    // Fixed rows and columns: nothing is measured over thousands of rows.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    const int digit = view->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    // In digits, by column: #, AD, EG, N, %S, k, Nfp, the label, the four intervals, the name,
    // KI (CIS), the zone, AD measured, EG measured, the limits near, b, N (profile).
    static constexpr int widths[kSampleColumnKinds] = {5,  9,  9,  4,  6,  5,  4,  30, 11, 16,
                                                       16, 11, 14, 13, 10, 11, 11, 10, 7,  9};
    const auto width_of = [digit](SampleColumn c) {
        return (widths[static_cast<std::size_t>(c)] + 2) * digit;
    };
    const auto set_widths = [this, view, width_of] {
        const auto columns = sample_columns(model_->intervals(), model_->cis());
        for (std::size_t i = 0; i < columns.size(); ++i) {
            view->setColumnWidth(static_cast<int>(i), width_of(columns[i]));
        }
    };
    set_widths();
    connect(model_, &QAbstractItemModel::modelReset, view, set_widths);
    // The numbers in full; the label and b, last, are a scroll away on a laptop's screen.
    preferred_width_ = 0;
    for (const SampleColumn c : sample_columns(false)) {
        preferred_width_ +=
            c == SampleColumn::label || c == SampleColumn::broadening ? 0 : width_of(c);
    }
    view->horizontalHeader()->setStretchLastSection(true);
    view->on_copy = [this] { copy_selected_rows(); };
    view->on_delete = [this] {
        if (on_remove) {
            on_remove();
        }
    };
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (on_selection) {
            on_selection(selected_rows());
        }
    });
    layout->addWidget(view);
    setWidget(body);
}

void SampleTableDock::show_sigma(float sigma) {
    const QSignalBlocker quiet(sigma_);
    sigma_->setValue(static_cast<double>(sigma));
    model_->set_intervals(sigma > 0);
}

std::vector<std::size_t> SampleTableDock::selected_rows() const {
    std::vector<std::size_t> rows;
    const auto* sorted = static_cast<const QSortFilterProxyModel*>(view_->model());
    for (const QModelIndex& index : view_->selectionModel()->selectedRows()) {
        rows.push_back(static_cast<std::size_t>(sorted->mapToSource(index).row()));
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void SampleTableDock::copy_selected_rows() {
    QGuiApplication::clipboard()->setText(QString::fromStdString(sample_rows_tsv(
        samples_, unplaced_, selected_rows(), model_->intervals(), model_->shown_lab())));
}

} // namespace teravine
