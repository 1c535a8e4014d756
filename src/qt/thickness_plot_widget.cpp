// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/thickness_plot_widget.h"

#include "diagram/thickness_drawing.h"
#include "qt/painter_surface.h"
#include "qt/screen_picture.h"

namespace teravine {

ThicknessPlotWidget::ThicknessPlotWidget(const ProfileThickness& thickness, QWidget* parent)
    : QWidget(parent), thickness_(thickness) {
    // It shrinks to a small screen's room and takes what the figures above it leave.
    setMinimumSize(180, 100);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize ThicknessPlotWidget::sizeHint() const {
    return {200, 130};
}

void ThicknessPlotWidget::paintEvent(QPaintEvent*) {
    // The lognormal's α and β² are in the tool tip: the plot is too small for its legend.
    paint_at_screen_pixels(*this, [this](PainterSurface& surface) {
        const auto& result = thickness_.result();
        draw_distribution_panel(surface, result ? &*result : nullptr, thickness_.analysing(),
                                double(width()), double(height()));
    });
}

} // namespace teravine
