// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/cis_plot_widget.h"

#include "diagram/figure_size.h"
#include "qt/painter_surface.h"
#include "qt/render/cis_figure.h"
#include "qt/render/page_file.h"

#include <QImage>
#include <QPainter>

#include <cmath>

namespace teravine {

CisPlotWidget::CisPlotWidget(const LabCalibration& lab, QWidget* parent)
    : QWidget(parent), lab_(lab) {
    setMinimumSize(static_cast<int>(kCisFigureWidth * 0.8),
                   static_cast<int>(kCisFigureHeight * 0.7));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CisPlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!lab_.cis) {
        painter.fillRect(rect(), palette().window());
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("No CIS calibration: fit the standards above, or open "
                                        "a calibration file"));
        return;
    }
    // Drawn at the screen's own pixels, text and pens at their size in logical pixels.
    const double ratio = devicePixelRatioF();
    QImage image(static_cast<int>(std::ceil(width() * ratio)),
                 static_cast<int>(std::ceil(height() * ratio)), QImage::Format_RGB32);
    image.setDotsPerMeterX(dots_per_metre(kScreenDpi * ratio));
    image.setDotsPerMeterY(dots_per_metre(kScreenDpi * ratio));
    image.fill(Qt::white);
    {
        PainterSurface surface(&image, ratio);
        surface.set_antialiasing(true);
        surface.set_user_scale(0, 0, static_cast<float>(width()), static_cast<float>(height()));
        draw_cis_figure(surface, *lab_.cis, lab_.limits, {0, 0, double(width()), double(height())});
        surface.finish();
    }
    image.setDevicePixelRatio(ratio);
    painter.drawImage(QPointF(0, 0), image);
}

} // namespace teravine
