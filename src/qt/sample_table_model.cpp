// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/sample_table_model.h"

#include "app/sample_table_text.h"

#include <QColor>

#include <algorithm>
#include <utility>
#include <vector>

namespace teravine {

SampleTableModel::SampleTableModel(const SampleList& samples,
                                   const std::vector<UnplacedSample>& unplaced,
                                   const LabCalibration& lab, QObject* parent)
    : QAbstractTableModel(parent), samples_(samples), unplaced_(unplaced), lab_(lab),
      rows_(static_cast<int>(samples.size())), unplaced_rows_(static_cast<int>(unplaced.size())) {
    appended_.setSingleShot(true);
    appended_.setInterval(0);
    connect(&appended_, &QTimer::timeout, this, &SampleTableModel::show_appended);
}

int SampleTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_ + unplaced_rows_;
}

int SampleTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(sample_columns(intervals_, cis_).size());
}

QVariant SampleTableModel::data(const QModelIndex& index, int role) const {
    const auto row = static_cast<std::size_t>(index.row());
    const std::span<const SampleColumn> columns = sample_columns(intervals_, cis_);
    if (!index.isValid() || static_cast<std::size_t>(index.column()) >= columns.size()) {
        return {};
    }
    const SampleColumn column = columns[static_cast<std::size_t>(index.column())];
    if (index.row() >= rows_) {
        const auto other = static_cast<std::size_t>(index.row() - rows_);
        if (index.row() >= rows_ + unplaced_rows_ || other >= unplaced_.size()) {
            return {};
        }
        if (role == Qt::DisplayRole || role == Qt::EditRole) {
            return QString::fromStdString(unplaced_cell(unplaced_[other], column, shown_lab()));
        }
        const std::string doubt = unplaced_cell_doubt(unplaced_[other], column);
        if (role == Qt::ForegroundRole) {
            return doubt.empty() ? QColor(Qt::gray) : kDoubtfulColour;
        }
        if (role == Qt::ToolTipRole && !doubt.empty()) {
            return QString::fromStdString(doubt);
        }
    } else if (row >= samples_.size()) {
        return {};
    } else if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return QString::fromStdString(sample_cell(samples_[row], row, column, shown_lab()));
    } else if (role == Qt::ToolTipRole || role == Qt::ForegroundRole) {
        // A doubtful width in the measuring dialog's red, its reasons in the tip.
        const std::string doubt = sample_cell_doubt(samples_[row], column);
        if (doubt.empty()) {
            return {};
        }
        return role == Qt::ToolTipRole ? QVariant(QString::fromStdString(doubt))
                                       : QVariant(kDoubtfulColour);
    } else if (role == kSortRole) {
        const QString text =
            QString::fromStdString(sample_cell(samples_[row], row, column, shown_lab()));
        bool number = false;
        // "0.412 ± 0.018" sorts by its value.
        const double value = text.section(QLatin1Char(' '), 0, 0).toDouble(&number);
        return number ? QVariant(value) : QVariant(text);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(column == SampleColumn::label || column == SampleColumn::name ||
                                           column == SampleColumn::zone ||
                                           column == SampleColumn::near_limit
                                       ? Qt::AlignLeft | Qt::AlignVCenter
                                       : Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags SampleTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const std::span<const SampleColumn> columns = sample_columns(intervals_, cis_);
    if (index.isValid() && static_cast<std::size_t>(index.column()) < columns.size() &&
        columns[static_cast<std::size_t>(index.column())] == SampleColumn::name && on_rename) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool SampleTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable) || index.row() < 0 ||
        index.row() >= rows_ + unplaced_rows_) {
        return false;
    }
    on_rename(static_cast<std::size_t>(index.row()), value.toString().toStdString());
    // The label of a sample may show its name.
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return true;
}

QVariant SampleTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::ToolTipRole) ||
        section < 0 || section >= columnCount()) {
        return {};
    }
    const SampleColumn column = sample_columns(intervals_, cis_)[static_cast<std::size_t>(section)];
    if (role == Qt::ToolTipRole) {
        switch (column) {
        case SampleColumn::ad_measured:
        case SampleColumn::eg_measured:
            return QStringLiteral("The width as measured or typed, before the instrumental "
                                  "broadening was removed");
        case SampleColumn::ad:
        case SampleColumn::eg:
            return QStringLiteral("The width placed on the diagram: the instrumental broadening "
                                  "removed");
        case SampleColumn::name:
            return QStringLiteral("Double-click a name to edit it");
        case SampleColumn::broadening:
            return QStringLiteral("The instrumental broadening removed from the widths measured "
                                  "(none for a click)");
        case SampleColumn::n_profile:
            return QStringLiteral("The mean layers of the stacks from the profile of the "
                                  "air-dried pattern's 001, each stack counted once (Measure "
                                  "Patterns with an instrument profile made from a standard's "
                                  "pattern)");
        default:
            return {};
        }
    }
    return QString::fromUtf8(sample_column_titles()[static_cast<std::size_t>(column)]);
}

void SampleTableModel::set_intervals(bool shown) {
    if (shown != intervals_) {
        beginResetModel();
        intervals_ = shown;
        endResetModel();
    }
}

void SampleTableModel::set_cis(bool shown) {
    // Reset even when shown already: another calibration or other limits change every cell.
    beginResetModel();
    cis_ = shown;
    endResetModel();
}

void SampleTableModel::show_appended() {
    const int size = static_cast<int>(samples_.size());
    if (size > rows_) {
        beginInsertRows({}, rows_, size - 1);
        rows_ = size;
        endInsertRows();
    }
}

namespace {

// Runs of consecutive rows, [first, last] each, in ascending order.
std::vector<std::pair<int, int>> runs_of(const std::vector<std::size_t>& rows) {
    std::vector<std::pair<int, int>> runs;
    for (const std::size_t row : rows) {
        const int r = static_cast<int>(row);
        if (!runs.empty() && runs.back().second + 1 == r) {
            runs.back().second = r;
        } else {
            runs.emplace_back(r, r);
        }
    }
    return runs;
}

// Beyond this many separate runs the views are better off reading the rows afresh.
constexpr std::size_t kMostRuns = 64;

} // namespace

void SampleTableModel::follow_rows(const SampleListChange& change) {
    const auto runs = runs_of(change.rows);
    if (runs.size() > kMostRuns) {
        beginResetModel();
        rows_ = static_cast<int>(samples_.size());
        unplaced_rows_ = static_cast<int>(unplaced_.size());
        endResetModel();
        return;
    }
    if (change.kind == SampleListChange::Kind::removed) {
        // From the last, so each run still stands where the list had it; rows not yet
        // shown were never there for the views.
        for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
            const int last = std::min(it->second, rows_ - 1);
            if (it->first <= last) {
                beginRemoveRows({}, it->first, last);
                rows_ -= last - it->first + 1;
                endRemoveRows();
            }
        }
        return;
    }
    for (const auto& [first, last] : runs) {
        if (first <= rows_) {
            beginInsertRows({}, first, last);
            rows_ += last - first + 1;
            endInsertRows();
        }
    }
}

void SampleTableModel::follow(const SampleListChange& change) {
    using Kind = SampleListChange::Kind;
    switch (change.kind) {
    case Kind::appended:
        appended_.start();
        return;
    case Kind::reset:
        beginResetModel();
        rows_ = static_cast<int>(samples_.size());
        unplaced_rows_ = static_cast<int>(unplaced_.size());
        endResetModel();
        return;
    case Kind::removed:
    case Kind::inserted:
        follow_rows(change);
        break;
    }
    // The numbers in "#" after the change have moved.
    if (rows_ > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, 0));
    }
}

} // namespace teravine
