#include "batched_surface.h"

#include "qt/painter_surface.h"

#include <QPen>
#include <QString>

#include <algorithm>

namespace teravine::bench {

BatchedSurface::BatchedSurface(QImage* image, bool antialiased)
    : image_(image), antialiased_(antialiased) {
    set_font_name(font_name_);
}

BatchedSurface::~BatchedSurface() {
    finish();
}

void BatchedSurface::finish() {
    flush();
    if (painter_) {
        painter_->end();
        painter_.reset();
        pen_set_.reset();
    }
}

QPainter& BatchedSurface::painter() {
    if (!painter_) {
        painter_.emplace(image_);
        painter_->setRenderHint(QPainter::Antialiasing, antialiased_);
        painter_->setRenderHint(QPainter::TextAntialiasing, antialiased_);
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    return *painter_;
}

void BatchedSurface::use_pen(Colour colour, double width) {
    const std::pair<Colour, double> wanted{colour, width};
    if (pen_set_ != wanted) {
        painter().setPen(
            QPen(to_qcolor(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        pen_set_ = wanted;
    }
}

void BatchedSurface::flush() {
    if (pending_.empty()) {
        return;
    }
    use_pen(pending_colour_, pending_width_);
    painter().setBrush(Qt::NoBrush);
    painter().drawLines(pending_.data(), static_cast<int>(pending_.size()));
    pending_.clear();
}

void BatchedSurface::set_user_scale(float left, float top, float right, float bottom) {
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
    unit_x_ = image_->width() / (static_cast<double>(right) - left);
    unit_y_ = image_->height() / (static_cast<double>(bottom) - top);
    metrics_.reset();
}

QPointF BatchedSurface::to_device(float x, float y) const {
    return {(x - static_cast<double>(left_)) * unit_x_, (y - static_cast<double>(top_)) * unit_y_};
}

void BatchedSurface::clear() {
    flush();
    painter().fillRect(QRectF(0, 0, image_->width(), image_->height()), Qt::white);
    current_x_ = left_;
    current_y_ = top_;
}

void BatchedSurface::line(float x1, float y1, float x2, float y2) {
    const double width = std::max(1, pen_width_);
    if (!pending_.empty() && (pending_colour_ != fore_color_ || pending_width_ != width)) {
        flush();
    }
    pending_colour_ = fore_color_;
    pending_width_ = width;
    pending_.emplace_back(to_device(x1, y1), to_device(x2, y2));
    set_current(x2, y2);
}

void BatchedSurface::box(float x1, float y1, float x2, float y2) {
    flush();
    use_pen(fore_color_, std::max(1, pen_width_));
    painter().setBrush(Qt::NoBrush);
    painter().drawRect(QRectF(to_device(x1, y1), to_device(x2, y2)).normalized());
    set_current(x2, y2);
}

void BatchedSurface::point(float x, float y) {
    flush();
    const QPointF centre = to_device(x, y);
    const double diameter = std::max(1, pen_width_);
    if (diameter <= 1.0 && !antialiased_) {
        painter().setPen(QPen(to_qcolor(fore_color_), 1.0));
        pen_set_.reset();
        painter().drawPoint(centre);
    } else {
        painter().setPen(Qt::NoPen);
        pen_set_.reset();
        painter().setBrush(to_qcolor(fore_color_));
        painter().drawEllipse(centre, diameter / 2, diameter / 2);
        painter().setBrush(Qt::NoBrush);
    }
    set_current(x, y);
}

const QFontMetricsF& BatchedSurface::metrics() const {
    if (!metrics_) {
        metrics_.emplace(font_, image_);
    }
    return *metrics_;
}

void BatchedSurface::set_font_name(const std::string& name) {
    font_name_ = name;
    font_ = QFont(QString::fromStdString(font_name_));
    font_.setPointSizeF(font_size_);
    font_.setBold(font_bold_);
    metrics_.reset();
}

void BatchedSurface::set_font_size(float size) {
    font_size_ = size > 0 ? size : font_size_;
    font_.setPointSizeF(font_size_);
    metrics_.reset();
}

void BatchedSurface::set_font_bold(bool bold) {
    font_bold_ = bold;
    font_.setBold(bold);
    metrics_.reset();
}

void BatchedSurface::print_text(const std::string& text) {
    flush();
    const QString qtext = QString::fromStdString(text);
    const QFontMetricsF& m = metrics();
    QPainter& p = painter();
    p.setFont(font_);
    p.setPen(to_qcolor(fore_color_));
    pen_set_.reset();
    QPointF at = to_device(current_x_, current_y_);
    at.ry() += m.ascent();
    int lines = 0;
    for (const QString& piece : qtext.split(QLatin1Char('\n'))) {
        p.drawText(at, piece);
        at.ry() += m.height();
        ++lines;
    }
    current_x_ = left_;
    current_y_ = static_cast<float>(current_y_ + lines * m.height() / unit_y_);
}

float BatchedSurface::text_width(const std::string& text) const {
    double widest = 0;
    for (const QString& piece : QString::fromStdString(text).split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics().horizontalAdvance(piece));
    }
    return static_cast<float>(widest / unit_x_);
}

float BatchedSurface::text_height(const std::string& text) const {
    const auto lines = 1 + QString::fromStdString(text).count(QLatin1Char('\n'));
    return static_cast<float>(static_cast<double>(lines) * metrics().height() / unit_y_);
}

} // namespace teravine::bench
