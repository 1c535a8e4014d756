// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/about_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>

namespace teravine {

namespace {

// Intensity of a trace at x in 0..1: a falling background, two peaks of different
// widths and a little deterministic ripple, so it reads as measured data.
double trace(double x) {
    const auto lorentz = [](double at, double centre, double half) {
        const double d = (at - centre) / half;
        return 1.0 / (1.0 + d * d);
    };
    const double background = 0.18 * std::exp(-2.5 * x) + 0.05;
    const double peaks = 0.75 * lorentz(x, 0.3, 0.035) + 0.35 * lorentz(x, 0.68, 0.06);
    const double ripple = 0.012 * std::sin(97.0 * x) * std::sin(23.0 * x + 1.0);
    return background + peaks + ripple;
}

void paint_layers(QPainter& p, QRectF area, int count) {
    const std::array<QColor, 4> colours{QColor(176, 122, 78), QColor(205, 170, 125),
                                        QColor(150, 100, 64), QColor(222, 196, 160)};
    const double height = area.height() / count;
    for (int i = 0; i < count; ++i) {
        const QRectF layer(area.left(), area.top() + i * height, area.width(), height * 0.8);
        p.fillRect(layer, colours[static_cast<std::size_t>(i) % colours.size()]);
    }
}

} // namespace

QImage about_picture(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, size.width(), size.height());
    const QRectF layers(all.left() + 6, all.bottom() - all.height() * 0.3, all.width() - 12,
                        all.height() * 0.3 - 6);
    paint_layers(p, layers, 6);

    const QRectF plot(all.left() + 8, all.top() + 8, all.width() - 16,
                      layers.top() - all.top() - 14);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());

    QPainterPath path;
    constexpr int kSteps = 240;
    for (int i = 0; i <= kSteps; ++i) {
        const double x = static_cast<double>(i) / kSteps;
        const QPointF at(plot.left() + x * plot.width(),
                         plot.bottom() - trace(x) * plot.height() * 0.95);
        if (i == 0) {
            path.moveTo(at);
        } else {
            path.lineTo(at);
        }
    }
    p.setPen(QPen(QColor(20, 60, 160), 1.6));
    p.drawPath(path);
    return image;
}

QPixmap teravine_icon(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = side;
    QLinearGradient sky(0, 0, 0, s);
    sky.setColorAt(0, QColor(240, 244, 250));
    sky.setColorAt(1, QColor(210, 220, 235));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.15, s * 0.15);
    paint_layers(p, QRectF(s * 0.1, s * 0.62, s * 0.8, s * 0.3), 3);

    QPainterPath peak;
    peak.moveTo(s * 0.08, s * 0.56);
    peak.cubicTo(s * 0.38, s * 0.56, s * 0.42, s * 0.1, s * 0.5, s * 0.1);
    peak.cubicTo(s * 0.58, s * 0.1, s * 0.62, s * 0.56, s * 0.92, s * 0.56);
    p.setPen(QPen(QColor(20, 60, 160), s / 16.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(peak);
    return pixmap;
}

} // namespace teravine
