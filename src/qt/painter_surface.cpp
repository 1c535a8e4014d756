// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/painter_surface.h"

#include "qt/band_threads.h"
#include "qt/raster/pixel_image.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QRect>
#include <QRectF>
#include <QString>

#include <algorithm>

namespace teravine {

namespace {

QString to_qstring(const std::string& text) {
    return QString::fromStdString(text);
}

int line_count(const std::string& text) {
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

PainterSurface::PainterSurface(QPaintDevice* device, double pen_scale)
    : device_(device), pen_scale_(pen_scale), most_bands_(most_band_threads()) {
    rebuild_font();
}

PainterSurface::~PainterSurface() {
    finish();
}

void PainterSurface::set_device(QPaintDevice* device, double pen_scale) {
    finish();
    device_ = device;
    device_failed_ = false;
    pen_scale_ = pen_scale;
    scale_.picture_frame.reset();
    metrics_.reset(); // they follow the device's resolution
}

void PainterSurface::finish() {
    flush();
    if (painter_) {
        painter_->end();
        painter_.reset();
        pens_.forget();
        hairlines_.reset();
        painting_scale_.reset();
    }
}

void PainterSurface::flush() {
    if (pending_.empty()) {
        return;
    }
    if (QPainter* p = painter()) {
        pens_.use_pen(*p, pending_pen_);
        // Each segment is stroked on its own, as one drawLine each would be: a polyline
        // would join them and blend the shared end points once instead of twice.
        p->drawLines(pending_.data(), static_cast<int>(pending_.size()));
    }
    pending_.clear();
}

bool PainterSurface::overwrites_lines() const {
    return !antialiasing_ && !hidden_lines_kept_ && pen_scale_ == 1.0 &&
           pixel_image(device_) != nullptr;
}

void PainterSurface::set_antialiasing(bool on) {
    flush();
    antialiasing_ = on;
    if (painter_) {
        painter_->setRenderHint(QPainter::Antialiasing, on);
        painter_->setRenderHint(QPainter::TextAntialiasing, on);
    }
}

QPainter* PainterSurface::painter() {
    if (device_ == nullptr || device_failed_) {
        return nullptr;
    }
    if (!painter_) {
        painter_ = std::make_unique<QPainter>();
        // A printer without an output refuses; the drawing then goes nowhere, once.
        if (!painter_->begin(device_)) {
            painter_.reset();
            device_failed_ = true;
            return nullptr;
        }
        painter_->setRenderHint(QPainter::Antialiasing, antialiasing_);
        painter_->setRenderHint(QPainter::TextAntialiasing, antialiasing_);
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        pens_.forget();
        if (const std::optional<PixelRows> rows = pixel_rows_of(device_)) {
            hairlines_.emplace(*rows);
        } else {
            hairlines_.reset();
        }
        if (band_) {
            painter_->setClipRect(
                QRect(0, band_->top, device_->width(), band_->bottom - band_->top));
            if (hairlines_) {
                hairlines_->limit_to_rows(band_->top, band_->bottom);
            }
        }
        keep_scale_while_painting();
    }
    return painter_.get();
}

double PainterSurface::device_width() const {
    return device_ ? device_->width() : 0.0;
}
double PainterSurface::device_height() const {
    return device_ ? device_->height() : 0.0;
}

void PainterSurface::use_centimetres() {
    flush();
    scale_.centimetres = true;
    keep_scale_while_painting();
}

void PainterSurface::set_user_scale(float left, float top, float right, float bottom) {
    flush();
    scale_.centimetres = false;
    scale_.left = left;
    scale_.top = top;
    scale_.right = right;
    scale_.bottom = bottom;
    keep_scale_while_painting();
}

void PainterSurface::set_picture_frame(const std::optional<QRectF>& frame) {
    flush();
    scale_.picture_frame = frame;
    keep_scale_while_painting();
}

void PainterSurface::keep_scale_while_painting() {
    if (hairlines_) {
        hairlines_->forget_end();
    }
    if (painter_) {
        painting_scale_ = scale_.measure(device_);
    } else {
        painting_scale_.reset();
    }
}

double PainterSurface::device_pen_width() const {
    return std::max(1, pen_text_.pen_width) * pen_scale_;
}

QPainter* PainterSurface::painter_with_pen() {
    flush();
    QPainter* p = painter();
    if (p != nullptr) {
        pens_.use_pen(*p, PenState{PenState::Kind::Line, pen_text_.fore_color, device_pen_width()});
        pens_.use_brush(*p, BrushState{false, 0});
    }
    return p;
}

void PainterSurface::clear() {
    flush();
    if (QPainter* p = painter()) {
        p->fillRect(QRectF(0, 0, device_width(), device_height()), Qt::white);
    }
    pen_text_.current_x = scale_.start_x();
    pen_text_.current_y = scale_.start_y();
}

HairlineWriter* PainterSurface::hairline_target() {
    if (device_pen_width() != 1.0) {
        return nullptr;
    }
    if (painter() == nullptr || !hairlines_) {
        return nullptr;
    }
    flush(); // what came before lies under the segment
    return &*hairlines_;
}

void PainterSurface::write_hairlines(HairlineWriter& writer, const float* xy, int count) {
    // A painter is on the device, so its scale is kept.
    writer.write(*painting_scale_, pen_text_.current_x, pen_text_.current_y, xy, count,
                 pen_text_.fore_color, antialiasing_);
    set_current(xy[2 * count - 2], xy[2 * count - 1]);
}

void PainterSurface::line(float x1, float y1, float x2, float y2) {
    if (HairlineWriter* writer = hairline_target()) {
        set_current(x1, y1);
        const float to[] = {x2, y2};
        write_hairlines(*writer, to, 1);
        return;
    }
    const PenState pen{PenState::Kind::Line, pen_text_.fore_color, device_pen_width()};
    if (!pending_.empty() && pending_pen_ != pen) {
        flush();
    }
    if (device_ != nullptr && !device_failed_) {
        pending_pen_ = pen;
        pending_.emplace_back(to_device(x1, y1), to_device(x2, y2));
        // Antialiased, Qt strokes a run of wide segments as one outline, so where two
        // of them overlap the pixel is blended once instead of twice: draw them alone.
        if (antialiasing_ && pen.width > 1.0) {
            flush();
        }
    }
    set_current(x2, y2);
}

void PainterSurface::line_to(float x, float y) {
    line(pen_text_.current_x, pen_text_.current_y, x, y);
}

void PainterSurface::lines_to(const float* xy, int count) {
    HairlineWriter* writer = count > 0 ? hairline_target() : nullptr;
    if (writer == nullptr) {
        Surface::lines_to(xy, count);
        return;
    }
    write_hairlines(*writer, xy, count);
}

void PainterSurface::box(float x1, float y1, float x2, float y2) {
    if (QPainter* p = painter_with_pen()) {
        p->drawRect(QRectF(to_device(x1, y1), to_device(x2, y2)).normalized());
    }
    set_current(x2, y2);
}

void PainterSurface::point(float x, float y) {
    const HairlineWriter* writer = antialiasing_ ? nullptr : hairline_target();
    if (writer != nullptr) {
        writer->point(to_device(x, y), pen_text_.fore_color);
        set_current(x, y);
        return;
    }
    flush();
    const QPointF centre = to_device(x, y);
    const double diameter = device_pen_width();
    if (misses_band(centre.y() - diameter, centre.y() + diameter)) {
        set_current(x, y);
        return;
    }
    if (QPainter* p = painter()) {
        if (diameter <= 1.0 && !antialiasing_) {
            pens_.use_pen(*p, PenState{PenState::Kind::Plain, pen_text_.fore_color, 1.0});
            p->drawPoint(centre);
        } else {
            pens_.use_pen(*p, PenState{PenState::Kind::None, 0, 0});
            pens_.use_brush(*p, BrushState{true, pen_text_.fore_color});
            p->drawEllipse(centre, diameter / 2, diameter / 2);
        }
    }
    set_current(x, y);
}

void PainterSurface::set_font_name(const std::string& name) {
    if (name != pen_text_.font_name) {
        pen_text_.font_name = name;
        rebuild_font();
    }
}

void PainterSurface::set_font_size(float size) {
    if (size > 0 && size != pen_text_.font_size) {
        pen_text_.font_size = size;
        rebuild_font();
    }
}

void PainterSurface::set_font_bold(bool bold) {
    if (bold != pen_text_.font_bold) {
        pen_text_.font_bold = bold;
        rebuild_font();
    }
}

void PainterSurface::rebuild_font() {
    font_ = QFont(to_qstring(pen_text_.font_name));
    font_.setPointSizeF(pen_text_.font_size);
    font_.setBold(pen_text_.font_bold);
    metrics_.reset();
    pens_.font_changed();
}

const QFontMetricsF& PainterSurface::font_metrics() const {
    if (!metrics_) {
        // A device without a resolution (an empty image) measures as the screen does.
        if (device_ != nullptr && device_->logicalDpiY() > 0) {
            metrics_.emplace(font_, device_);
        } else {
            metrics_.emplace(font_);
        }
    }
    return *metrics_;
}

void PainterSurface::print_text(const std::string& text) {
    flush();
    const QFontMetricsF& metrics = font_metrics();
    const int lines = line_count(text);
    // A glyph may reach beyond its line (an accent, a fallback font): a line's height of
    // margin on both sides.
    QPointF at = to_device(pen_text_.current_x, pen_text_.current_y);
    const bool shown =
        !misses_band(at.y() - metrics.height(), at.y() + (lines + 1) * metrics.height());
    QPainter* p = shown ? painter() : nullptr;
    if (p != nullptr) {
        const QString qtext = to_qstring(text);
        pens_.use_font(*p, font_);
        pens_.use_pen(*p, PenState{PenState::Kind::Plain, pen_text_.fore_color, 1.0});
        at.ry() += metrics.ascent();
        if (!qtext.contains(QLatin1Char('\n'))) {
            p->drawText(at, qtext); // a label: one line, no list to build
        } else {
            for (const QString& piece : qtext.split(QLatin1Char('\n'))) {
                p->drawText(at, piece);
                at.ry() += metrics.height();
            }
        }
    }
    pen_text_.current_x = scale_.start_x();
    pen_text_.current_y =
        static_cast<float>(pen_text_.current_y + lines * metrics.height() / device_per_unit_y());
}

float PainterSurface::text_width(const std::string& text) const {
    const QFontMetricsF& metrics = font_metrics();
    double widest = 0;
    for (const QString& piece : to_qstring(text).split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(piece));
    }
    return static_cast<float>(widest / device_per_unit_x());
}

float PainterSurface::text_height(const std::string& text) const {
    const QFontMetricsF& metrics = font_metrics();
    return static_cast<float>(line_count(text) * metrics.height() / device_per_unit_y());
}

} // namespace teravine
