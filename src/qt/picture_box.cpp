// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/picture_box.h"

#include "qt/twips.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

#include <utility>

namespace teravine {

namespace {

constexpr int kLegyLeft = 120; // twips inside the picture
constexpr int kLegyTop = 600;
constexpr double kMarkRadius = 7; // pixels: a ring clear of the dot (5 pixels across)

} // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Moves are read out with or without a button held.
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    legx_ = make_caption(QString::fromUtf8("IW2w (\u00B0CuKalpha)"));
    legy_ = make_caption(QStringLiteral("IW2g"));
    legy_->move(twips_to_pixels(kLegyLeft), twips_to_pixels(kLegyTop));
    resize_picture(QSize(1, 1));
}

QLabel* PictureBox::make_caption(const QString& text) {
    auto* label = new QLabel(text, this);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10);
    label->setFont(font);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setAutoFillBackground(false);
    label->setStyleSheet(QStringLiteral("QLabel { background: transparent; color: black; }"));
    label->adjustSize();
    return label;
}

const QImage& PictureBox::image() {
    surface_.finish();
    return image_;
}

QImage PictureBox::shown_image() {
    surface_.finish();
    // The selection rings belong to the sample table, drawn over the picture: not copied.
    const std::vector<QPointF> rings = std::exchange(marks_, {});
    QImage shown = grab().toImage();
    marks_ = rings;
    return shown;
}

void PictureBox::resize_picture(QSize size) {
    size = size.expandedTo(QSize(1, 1));
    surface_.finish();
    image_ = QImage(size, QImage::Format_RGB32);
    image_.fill(Qt::white);
    surface_.set_device(&image_);
    resize(size);
    update();
}

void PictureBox::image_changed() {
    update();
}

void PictureBox::set_marks(std::vector<QPointF> points) {
    if (points.empty() && marks_.empty()) {
        return;
    }
    marks_ = std::move(points);
    update();
}

void PictureBox::place_axis_captions(float legx_left, float legx_top) {
    const QPointF at = surface_.to_device(legx_left, legx_top);
    legx_->adjustSize();
    legx_->move(at.toPoint());
    legx_->show();
    legy_->show();
}

QPointF PictureBox::to_user(QPointF position) const {
    const QPointF origin = surface_.to_device(0, 0);
    return {(position.x() - origin.x()) / surface_.device_per_unit_x(),
            (position.y() - origin.y()) / surface_.device_per_unit_y()};
}

void PictureBox::paintEvent(QPaintEvent* event) {
    surface_.finish();
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(event->rect(), image_, event->rect());
    if (marks_.empty()) {
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 120, 215), 2));
    painter.setBrush(Qt::NoBrush);
    for (const QPointF& mark : marks_) {
        painter.drawEllipse(
            surface_.to_device(static_cast<float>(mark.x()), static_cast<float>(mark.y())),
            kMarkRadius, kMarkRadius);
    }
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    if (on_move) {
        const QPointF user = to_user(event->position());
        on_move(static_cast<float>(user.x()), static_cast<float>(user.y()));
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && on_click) {
        on_click();
    }
}

} // namespace teravine
