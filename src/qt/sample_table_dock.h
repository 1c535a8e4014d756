// SPDX-License-Identifier: GPL-3.0-or-later
// The dockable sample table: one row a sample, in list order. Its selection, Ctrl+C,
// Delete and "Export CSV…" go to callbacks; the handlers decide what they do.
#pragma once

#include "app/sample_table_text.h"
#include "identify/sample_list.h"
#include "qt/sample_table_model.h"

#include <QDockWidget>

#include <cstddef>
#include <functional>
#include <vector>

class QDoubleSpinBox;
class QTableView;
class QToolBar;

namespace teravine {

class SampleTableDock final : public QDockWidget {
public:
    SampleTableDock(const SampleList& samples, const std::vector<UnplacedSample>& unplaced,
                    const LabCalibration& lab, QWidget* parent);

    SampleTableModel& model() { return *model_; }
    QTableView* view() const { return view_; }
    QToolBar* tool_bar() const { return tools_; }
    // Wide enough for every column of a typical row but the label.
    int preferred_width() const { return preferred_width_; }

    // The selected rows, ascending.
    std::vector<std::size_t> selected_rows() const;
    // The header and the selected rows as tab-separated text on the clipboard.
    void copy_selected_rows();

    std::function<void(std::vector<std::size_t> rows)> on_selection;
    std::function<void()> on_remove;
    std::function<void()> on_export;
    // The sigma of the widths typed in the tool bar, degrees; 0: off.
    std::function<void(float sigma)> on_sigma;
    QDoubleSpinBox* sigma_box() const { return sigma_; }
    // The box shows the window's sigma (0: "off") with its intervals, calling no one.
    void show_sigma(float sigma);

private:
    const SampleList& samples_;
    const std::vector<UnplacedSample>& unplaced_;
    SampleTableModel* model_ = nullptr;
    QTableView* view_ = nullptr;
    QToolBar* tools_ = nullptr;
    QDoubleSpinBox* sigma_ = nullptr;
    int preferred_width_ = 0;
};

} // namespace teravine
