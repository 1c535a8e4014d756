// SPDX-License-Identifier: GPL-3.0-or-later
// One pattern's measuring plot: draws the session's panel of its side through a
// PainterSurface at the screen's pixel ratio, takes the dragged ends of the range and
// pattern files dropped on it.
#pragma once

#include "app/measure_session.h"

#include <QWidget>

#include <functional>
#include <optional>

namespace teravine {

class PeakPlotWidget final : public QWidget {
public:
    PeakPlotWidget(MeasureSession& session, PatternSide side, QWidget* parent = nullptr);

    // Called after the range was dragged and when a file was dropped.
    std::function<void()> on_range_moved;
    std::function<void(const std::string& path)> on_file_dropped;

    // The plot as last drawn, in the widget's pixels.
    const PeakPlot& plot() const { return plot_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::optional<RangeEnd> end_near(double x) const;

    MeasureSession& session_;
    PatternSide side_;
    PeakPlot plot_;
    std::optional<RangeEnd> dragging_;
    std::optional<PeakView> held_view_; // the view stays put while an end is dragged
};

} // namespace teravine
