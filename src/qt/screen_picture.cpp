// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/screen_picture.h"

#include "qt/painter_surface.h"
#include "qt/render/page_file.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <cmath>

namespace teravine {

void paint_at_screen_pixels(QWidget& widget, const std::function<void(PainterSurface&)>& draw) {
    const double ratio = widget.devicePixelRatioF();
    QImage image(static_cast<int>(std::ceil(widget.width() * ratio)),
                 static_cast<int>(std::ceil(widget.height() * ratio)), QImage::Format_RGB32);
    image.setDotsPerMeterX(dots_per_metre(kScreenDpi * ratio));
    image.setDotsPerMeterY(dots_per_metre(kScreenDpi * ratio));
    image.fill(Qt::white);
    {
        PainterSurface surface(&image, ratio);
        surface.set_antialiasing(true);
        surface.set_user_scale(0, 0, static_cast<float>(widget.width()),
                               static_cast<float>(widget.height()));
        draw(surface);
        surface.finish();
    }
    image.setDevicePixelRatio(ratio);
    QPainter painter(&widget);
    painter.drawImage(QPointF(0, 0), image);
}

} // namespace teravine
