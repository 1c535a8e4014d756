// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/peak_plot_widget.h"

#include "qt/painter_surface.h"
#include "qt/screen_picture.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

#include <cmath>

namespace teravine {
namespace {

constexpr double kGrabPixels = 6; // how near an end the pointer takes hold of it

std::optional<std::string> dropped_file(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().front().isLocalFile()) {
        return std::nullopt;
    }
    return data->urls().front().toLocalFile().toStdString();
}

} // namespace

PeakPlotWidget::PeakPlotWidget(MeasureSession& session, PatternSide side, QWidget* parent)
    : QWidget(parent), session_(session), side_(side) {
    setAcceptDrops(true);
    setMouseTracking(true);
    // It shrinks to a small screen's room and asks for more where there is some.
    setMinimumSize(200, 140);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize PeakPlotWidget::sizeHint() const {
    return {380, 280};
}

void PeakPlotWidget::paintEvent(QPaintEvent*) {
    paint_at_screen_pixels(*this, [this](PainterSurface& surface) {
        PeakPanel panel = session_.panel(side_);
        panel.view = held_view_;
        panel.readout.clear(); // the dialog shows the figures beside the plot
        panel.problem.clear();
        plot_ = draw_peak_panel(surface, panel, {0, 0, double(width()), double(height()) + 28});
    });
}

std::optional<RangeEnd> PeakPlotWidget::end_near(double x) const {
    if (session_.half(side_).pattern() == nullptr) {
        return std::nullopt;
    }
    const double to_lo = std::abs(x - plot_.range_lo_x);
    const double to_hi = std::abs(x - plot_.range_hi_x);
    if (std::min(to_lo, to_hi) > kGrabPixels) {
        return std::nullopt;
    }
    return to_lo <= to_hi ? RangeEnd::Low : RangeEnd::High;
}

void PeakPlotWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    dragging_ = end_near(event->position().x());
    if (dragging_) {
        held_view_ = plot_.view;
    }
}

void PeakPlotWidget::mouseMoveEvent(QMouseEvent* event) {
    const double x = event->position().x();
    if (!dragging_) {
        setCursor(end_near(x) ? Qt::SizeHorCursor : Qt::ArrowCursor);
        return;
    }
    session_.move_range_end(side_, *dragging_, plot_.two_theta_at(x));
    if (on_range_moved) {
        on_range_moved();
    }
}

void PeakPlotWidget::mouseReleaseEvent(QMouseEvent*) {
    dragging_.reset();
    held_view_.reset();
    update();
}

void PeakPlotWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (dropped_file(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void PeakPlotWidget::dropEvent(QDropEvent* event) {
    if (const auto path = dropped_file(event->mimeData()); path && on_file_dropped) {
        event->acceptProposedAction();
        on_file_dropped(*path);
    }
}

} // namespace teravine
