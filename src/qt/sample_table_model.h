// SPDX-License-Identifier: GPL-3.0-or-later
// The sample table's rows: a view over the window's sample list, read as it is shown
// (no copy of it), told of every change by the handlers.
#pragma once

#include "app/sample_table_text.h"
#include "app/window_services.h"
#include "identify/sample_list.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QTimer>

#include <functional>
#include <string>

namespace teravine {

class SampleTableModel final : public QAbstractTableModel {
public:
    // `lab`: the window's calibration, read for the KI (CIS) and Zone columns.
    SampleTableModel(const SampleList& samples, const std::vector<UnplacedSample>& unplaced,
                     const LabCalibration& lab, QObject* parent = nullptr);

    // What the columns sort by: a number's value, a text as it is; the rows not placed
    // after every sample whichever the order.
    static constexpr int kSortRole = Qt::UserRole;
    // The text of a width the measuring dialog found doubtful, as red as the dialog's
    // message; the tool tip names the reasons.
    static constexpr QColor kDoubtfulColour{0xc0, 0x20, 0x20};

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // A name is edited in its cell; the handler renames the sample of the row (the
    // samples first, then those not placed).
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    std::function<void(std::size_t row, const std::string& name)> on_rename;

    // Follows a change the list has had. Appended rows join at the next turn of the
    // event loop, all at once: a treatment appends thousands one by one.
    void follow(const SampleListChange& change);
    // Shows the appended rows now.
    void show_appended();
    // The four interval columns after the others, or none.
    void set_intervals(bool shown);
    bool intervals() const { return intervals_; }
    // The KI (CIS) and Zone columns, or none; their values are read afresh when shown.
    void set_cis(bool shown);
    bool cis() const { return cis_; }
    // The calibration the cells are read with: null while its columns are hidden.
    const LabCalibration* shown_lab() const { return cis_ ? &lab_ : nullptr; }
    // The rows of placed samples; the rows not placed come after them.
    int placed_rows() const { return rows_; }

private:
    void follow_rows(const SampleListChange& change);

    const SampleList& samples_;
    const std::vector<UnplacedSample>& unplaced_; // greyed rows after the samples
    const LabCalibration& lab_;
    int rows_ = 0;          // the rows of samples the views know of
    int unplaced_rows_ = 0; // and of samples not placed, after them
    bool intervals_ = false;
    bool cis_ = false;
    QTimer appended_;
};

} // namespace teravine
