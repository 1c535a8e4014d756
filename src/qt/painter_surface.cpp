// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/painter_surface.h"

#include <QColor>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPen>
#include <QRect>
#include <QRectF>
#include <QString>

#include <algorithm>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace teravine {

namespace {

constexpr double kCentimetresPerInch = 2.54;
constexpr int kMostBands = 4;
constexpr int kFewestBandRows = 64;

QString to_qstring(const std::string& text) {
    return QString::fromStdString(text);
}

// The device as an image of 32-bit pixels (0xAARRGGBB, opaque or premultiplied), if it
// is one.
QImage* pixel_image(QPaintDevice* device) {
    if (device == nullptr || device->devType() != QInternal::Image) {
        return nullptr;
    }
    auto* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied
               ? image
               : nullptr;
}

// The pixels of a 32-bit image, taken once its painter has begun (and so made its pixels
// its own); none for any other device.
std::optional<PixelRows> pixel_rows_of(QPaintDevice* device) {
    QImage* image = pixel_image(device);
    if (image == nullptr) {
        return std::nullopt;
    }
    return PixelRows{reinterpret_cast<std::uint32_t*>(image->bits()), image->bytesPerLine() / 4,
                     image->width(), image->height()};
}

int default_most_bands() {
    static const int most = static_cast<int>(
        std::clamp(std::thread::hardware_concurrency(), 1u, static_cast<unsigned>(kMostBands)));
    return most;
}

// 0x00BBGGRR as an opaque 32-bit pixel, 0xFFRRGGBB.
std::uint32_t opaque_pixel(Colour colour) {
    return 0xFF000000u | ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}

int line_count(const std::string& text) {
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

QColor to_qcolor(Colour colour) {
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

PainterSurface::PainterSurface(QPaintDevice* device, double pen_scale)
    : device_(device), pen_scale_(pen_scale), most_bands_(default_most_bands()) {
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
    picture_frame_.reset();
    metrics_.reset(); // they follow the device's resolution
}

void PainterSurface::finish() {
    flush();
    if (painter_) {
        painter_->end();
        painter_.reset();
        forget_painter_state();
        hairline_rows_.reset();
        painting_scale_.reset();
        last_end_.reset();
    }
}

void PainterSurface::flush() {
    if (pending_.empty()) {
        return;
    }
    if (QPainter* p = painter()) {
        use_pen(*p, pending_pen_);
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

int PainterSurface::band_count() const {
    const QImage* image = pixel_image(device_);
    if (band_ || image == nullptr || image->devicePixelRatio() != 1.0) {
        return 1;
    }
    return std::clamp(image->height() / kFewestBandRows, 1, most_bands_);
}

// Each band's painter clips to its band and its one-pixel lines write only their band's
// rows, so no two threads write one pixel, and clipping changes no pixel inside the clip:
// the bands together hold what one drawing sets.
void PainterSurface::draw_in_bands(int bands, const std::function<void(Surface&, int)>& draw) {
    bands = std::min(bands, band_count());
    if (bands <= 1 || painter() == nullptr) {
        draw(*this, 0);
        return;
    }
    flush();
    QImage* image = pixel_image(device_);
    const int height = image->height();
    std::vector<std::unique_ptr<QImage>> views; // the same pixels, one painter each
    std::vector<std::unique_ptr<PainterSurface>> parts;
    for (int b = 0; b < bands; ++b) {
        auto view = std::make_unique<QImage>(image->bits(), image->width(), height,
                                             image->bytesPerLine(), image->format());
        view->setDotsPerMeterX(image->dotsPerMeterX());
        view->setDotsPerMeterY(image->dotsPerMeterY());
        parts.push_back(band_part(view.get(), Band{height * b / bands, height * (b + 1) / bands}));
        views.push_back(std::move(view));
    }

    std::exception_ptr failure;
    std::mutex failure_lock;
    // A part's font and painter are made, used and dropped on the part's own thread.
    const auto draw_band = [&](int b) {
        try {
            PainterSurface& part = *parts[static_cast<std::size_t>(b)];
            part.rebuild_font();
            draw(part, b);
            part.finish();
        } catch (...) {
            const std::lock_guard<std::mutex> hold(failure_lock);
            if (!failure) {
                failure = std::current_exception();
            }
        }
        if (b != 0) {
            parts[static_cast<std::size_t>(b)].reset();
        }
    };
    std::vector<std::thread> threads;
    std::vector<int> left_over; // bands without a thread of their own
    for (int b = 1; b < bands; ++b) {
        try {
            threads.emplace_back(draw_band, b);
        } catch (const std::system_error&) {
            left_over.push_back(b);
        }
    }
    draw_band(0);
    for (const int b : left_over) {
        draw_band(b);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    take_state_of(*parts[0]);
}

std::unique_ptr<PainterSurface> PainterSurface::band_part(QPaintDevice* view, Band band) const {
    auto part = std::make_unique<PainterSurface>(view, pen_scale_);
    part->band_ = band;
    part->antialiasing_ = antialiasing_;
    part->hidden_lines_kept_ = hidden_lines_kept_;
    part->scale_ = scale_;
    part->left_ = left_;
    part->top_ = top_;
    part->right_ = right_;
    part->bottom_ = bottom_;
    part->picture_frame_ = picture_frame_;
    part->pen_text_ = pen_text_; // its font is built on its own thread
    return part;
}

void PainterSurface::take_state_of(const PainterSurface& part) {
    const bool same_font = part.pen_text_.font_name == pen_text_.font_name &&
                           part.pen_text_.font_size == pen_text_.font_size &&
                           part.pen_text_.font_bold == pen_text_.font_bold;
    pen_text_ = part.pen_text_;
    last_end_.reset();
    if (!same_font) {
        rebuild_font();
    }
}

bool PainterSurface::misses_band(double top, double bottom) const {
    return band_ && (bottom < band_->top - 1 || top > band_->bottom + 1);
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
        forget_painter_state();
        hairline_rows_ = pixel_rows_of(device_);
        if (band_) {
            painter_->setClipRect(
                QRect(0, band_->top, device_->width(), band_->bottom - band_->top));
            if (hairline_rows_) {
                hairline_rows_->from_row = band_->top;
                hairline_rows_->to_row = band_->bottom;
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
    scale_ = Scale::Centimetres;
    keep_scale_while_painting();
}

void PainterSurface::set_user_scale(float left, float top, float right, float bottom) {
    flush();
    scale_ = Scale::User;
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
    keep_scale_while_painting();
}

void PainterSurface::keep_scale_while_painting() {
    last_end_.reset();
    if (painter_) {
        painting_scale_ = measured_scale();
    } else {
        painting_scale_.reset();
    }
}

PainterSurface::DeviceScale PainterSurface::measured_scale() const {
    if (scale_ == Scale::Centimetres) {
        return device_ ? DeviceScale{device_->logicalDpiX() / kCentimetresPerInch,
                                     device_->logicalDpiY() / kCentimetresPerInch, 0.0, 0.0}
                       : DeviceScale{1.0, 1.0, 0.0, 0.0};
    }
    // A device of no size would make every text infinitely long in user units.
    const double span_x = static_cast<double>(right_) - left_;
    const double span_y = static_cast<double>(bottom_) - top_;
    const double width = picture_frame_ ? picture_frame_->width() : device_width();
    const double height = picture_frame_ ? picture_frame_->height() : device_height();
    const QPointF offset = picture_frame_ ? picture_frame_->topLeft() : QPointF();
    return {span_x != 0.0 && width > 0 ? width / span_x : 1.0,
            span_y != 0.0 && height > 0 ? height / span_y : 1.0,
            left_,
            top_,
            offset.x(),
            offset.y()};
}

void PainterSurface::set_picture_frame(const QRectF& frame) {
    flush();
    picture_frame_ = frame;
    keep_scale_while_painting();
}

PainterSurface::DeviceScale PainterSurface::device_scale() const {
    return painting_scale_ ? *painting_scale_ : measured_scale();
}

double PainterSurface::device_per_unit_x() const {
    return device_scale().per_unit_x;
}

double PainterSurface::device_per_unit_y() const {
    return device_scale().per_unit_y;
}

QPointF PainterSurface::to_device(float x, float y) const {
    return scaled(x, y, device_scale());
}

double PainterSurface::device_pen_width() const {
    return std::max(1, pen_text_.pen_width) * pen_scale_;
}

void PainterSurface::use_pen(QPainter& p, PenState pen) {
    if (pen_set_ == pen) {
        return;
    }
    switch (pen.kind) {
    case PenState::Kind::Line:
        p.setPen(
            QPen(to_qcolor(pen.colour), pen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        break;
    case PenState::Kind::Plain:
        p.setPen(to_qcolor(pen.colour));
        break;
    case PenState::Kind::None:
        p.setPen(Qt::NoPen);
        break;
    }
    pen_set_ = pen;
}

void PainterSurface::use_brush(QPainter& p, BrushState brush) {
    if (brush_set_ != brush) {
        if (brush.filled) {
            p.setBrush(to_qcolor(brush.colour));
        } else {
            p.setBrush(Qt::NoBrush);
        }
        brush_set_ = brush;
    }
}

void PainterSurface::forget_painter_state() {
    pen_set_.reset();
    brush_set_.reset();
    font_set_ = false;
}

QPainter* PainterSurface::painter_with_pen() {
    flush();
    QPainter* p = painter();
    if (p != nullptr) {
        use_pen(*p, PenState{PenState::Kind::Line, pen_text_.fore_color, device_pen_width()});
        use_brush(*p, BrushState{false, 0});
    }
    return p;
}

void PainterSurface::clear() {
    flush();
    if (QPainter* p = painter()) {
        p->fillRect(QRectF(0, 0, device_width(), device_height()), Qt::white);
    }
    pen_text_.current_x = scale_ == Scale::Centimetres ? 0.0f : left_;
    pen_text_.current_y = scale_ == Scale::Centimetres ? 0.0f : top_;
}

const PixelRows* PainterSurface::hairline_target() {
    if (device_pen_width() != 1.0) {
        return nullptr;
    }
    if (painter() == nullptr || !hairline_rows_) {
        return nullptr;
    }
    flush(); // what came before lies under the segment
    return &*hairline_rows_;
}

void PainterSurface::line(float x1, float y1, float x2, float y2) {
    if (const PixelRows* rows = hairline_target()) {
        set_current(x1, y1);
        const float to[] = {x2, y2};
        write_hairlines(*rows, to, 1);
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
    const PixelRows* rows = count > 0 ? hairline_target() : nullptr;
    if (rows == nullptr) {
        Surface::lines_to(xy, count);
        return;
    }
    write_hairlines(*rows, xy, count);
}

void PainterSurface::write_hairlines(const PixelRows& rows, const float* xy, int count) {
    // A polyline starts each segment where the last one ended.
    const DeviceScale& scale = *painting_scale_; // a painter is on the device
    QPointF from =
        last_end_ && last_end_->x == pen_text_.current_x && last_end_->y == pen_text_.current_y
            ? last_end_->device
            : scaled(pen_text_.current_x, pen_text_.current_y, scale);
    const std::uint32_t pixel = opaque_pixel(pen_text_.fore_color);
    for (int i = 0; i < count; ++i) {
        const QPointF to = scaled(xy[2 * i], xy[2 * i + 1], scale);
        if (antialiasing_) {
            draw_antialiased_hairline(rows, from.x(), from.y(), to.x(), to.y(), pixel);
        } else {
            draw_hairline(rows, from.x(), from.y(), to.x(), to.y(), pixel);
        }
        from = to;
    }
    const float x = xy[2 * count - 2];
    const float y = xy[2 * count - 1];
    last_end_ = EndPoint{x, y, from};
    set_current(x, y);
}

void PainterSurface::box(float x1, float y1, float x2, float y2) {
    if (QPainter* p = painter_with_pen()) {
        p->drawRect(QRectF(to_device(x1, y1), to_device(x2, y2)).normalized());
    }
    set_current(x2, y2);
}

void PainterSurface::point(float x, float y) {
    const PixelRows* rows = antialiasing_ ? nullptr : hairline_target();
    if (rows != nullptr) {
        const QPointF centre = to_device(x, y);
        draw_hairline_point(*rows, centre.x(), centre.y(), opaque_pixel(pen_text_.fore_color));
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
            use_pen(*p, PenState{PenState::Kind::Plain, pen_text_.fore_color, 1.0});
            p->drawPoint(centre);
        } else {
            use_pen(*p, PenState{PenState::Kind::None, 0, 0});
            use_brush(*p, BrushState{true, pen_text_.fore_color});
            p->drawEllipse(centre, diameter / 2, diameter / 2);
        }
    }
    set_current(x, y);
}

void PainterSurface::set_current(float x, float y) {
    pen_text_.current_x = x;
    pen_text_.current_y = y;
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
    font_set_ = false;
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
        if (!font_set_) {
            p->setFont(font_);
            font_set_ = true;
        }
        use_pen(*p, PenState{PenState::Kind::Plain, pen_text_.fore_color, 1.0});
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
    pen_text_.current_x = scale_ == Scale::Centimetres ? 0.0f : left_;
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
