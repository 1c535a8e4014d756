// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/thickness_plot_widget.h"

#include "diagram/thickness_drawing.h"
#include "qt/painter_surface.h"
#include "qt/screen_picture.h"

namespace teravine {
namespace {

// Room around the plot's frame for the tick labels and the axes' titles.
constexpr double kLeft = 52, kTop = 22, kRight = 10, kBottom = 34;

} // namespace

ThicknessPlotWidget::ThicknessPlotWidget(const ProfileThickness& thickness, QWidget* parent)
    : QWidget(parent), thickness_(thickness) {
    setMinimumSize(200, 130);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize ThicknessPlotWidget::sizeHint() const {
    return {240, 150};
}

void ThicknessPlotWidget::paintEvent(QPaintEvent*) {
    paint_at_screen_pixels(*this, [this](PainterSurface& surface) {
        if (const auto& result = thickness_.result()) {
            draw_thickness_distribution(
                surface, *result,
                {kLeft, kTop, double(width()) - kRight, double(height()) - kBottom});
        }
    });
}

} // namespace teravine
