// SPDX-License-Identifier: GPL-3.0-or-later
// The diagram's picture: a persistent image that the handlers draw into at any time,
// shown by the widget, with the two axis caption labels on top of it. Pointer moves
// and left clicks go to callbacks in user units of the picture.
#pragma once

#include "qt/painter_surface.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QLabel;

namespace teravine {

class PictureBox final : public QWidget {
public:
    explicit PictureBox(QWidget* parent = nullptr);

    PainterSurface& surface() { return surface_; }

    // The image as drawn so far (any painting in progress is ended first).
    const QImage& image();
    // What the user sees: the image with the two axis caption labels over it, without
    // the selection rings.
    QImage shown_image();

    // A new blank white image of this size (logical pixels); the widget takes its size.
    void resize_picture(QSize size);

    // Shows the image again after the handlers drew on it.
    void image_changed();

    // Rings around these points (user units) over the image: the selected samples' dots.
    // They are shown, never drawn into the image.
    void set_marks(std::vector<QPointF> points);
    const std::vector<QPointF>& marks() const { return marks_; }

    // legx's top-left corner in user units of the picture; both labels are shown.
    void place_axis_captions(float legx_left, float legx_top);
    QLabel* legx() const { return legx_; }
    QLabel* legy() const { return legy_; }

    // Pointer position in user units of the picture's current scale.
    QPointF to_user(QPointF position) const;

    std::function<void(float x, float y)> on_move;
    std::function<void()> on_click;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* make_caption(const QString& text);

    QImage image_;
    PainterSurface surface_;
    std::vector<QPointF> marks_;
    QLabel* legx_ = nullptr;
    QLabel* legy_ = nullptr;
};

} // namespace teravine
