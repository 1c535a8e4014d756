// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/cis_plot_widget.h"

#include "diagram/figure_size.h"
#include "qt/painter_surface.h"
#include "qt/render/cis_figure.h"
#include "qt/screen_picture.h"

#include <QPainter>

namespace teravine {

CisPlotWidget::CisPlotWidget(const LabCalibration& lab, QWidget* parent)
    : QWidget(parent), lab_(lab) {
    // It shrinks to a small screen's room and asks for more where there is some.
    setMinimumSize(static_cast<int>(kCisFigureWidth * 0.5),
                   static_cast<int>(kCisFigureHeight * 0.4));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize CisPlotWidget::sizeHint() const {
    return {static_cast<int>(kCisFigureWidth * 0.8), static_cast<int>(kCisFigureHeight * 0.7)};
}

void CisPlotWidget::paintEvent(QPaintEvent*) {
    if (!lab_.cis) {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("No CIS calibration: fit the standards above, or open "
                                        "a calibration file"));
        return;
    }
    paint_at_screen_pixels(*this, [this](PainterSurface& surface) {
        draw_cis_figure(surface, *lab_.cis, lab_.limits, {0, 0, double(width()), double(height())});
    });
}

} // namespace teravine
