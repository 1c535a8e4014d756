// SPDX-License-Identifier: GPL-3.0-or-later
// The diagram's drawing surface on a QPainter: the window's picture, a printer page, a
// PNG image, an SVG or a PDF file all draw through this one class.
#pragma once

#include "diagram/hairline.h"
#include "diagram/surface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPointF>
#include <QRectF>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPaintDevice;

namespace teravine {

class PainterSurface final : public Surface {
public:
    // pen_scale: device pixels per pen-width pixel. 1 on screen and for raster images;
    // a printer or a vector file uses its resolution over a ~96 dpi screen, so a
    // diagram on paper looks like the one on screen.
    explicit PainterSurface(QPaintDevice* device = nullptr, double pen_scale = 1.0);
    ~PainterSurface() override;
    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;

    // Draws on another device from now on (a resized picture); the user scale is kept
    // as numbers and applied to the new device's size.
    void set_device(QPaintDevice* device, double pen_scale = 1.0);
    QPaintDevice* device() const { return device_; }

    // Ends the painting in progress, so the device may be shown, saved or replaced.
    // The next drawing call opens a new painter.
    void finish();

    // Hands the line segments held back so far to the painter. Segments wait so that a
    // run of them costs one painter call; everything but another segment, and finish(),
    // draws them first, so only a caller reading the device mid-painting needs this.
    void flush();

    void set_antialiasing(bool on);

    // One user unit per centimetre, from the device's top-left corner.
    void use_centimetres();

    // The user scale spans this rectangle of the device (device pixels) instead of the
    // whole device, until the device changes: a figure places its picture on a page.
    void set_picture_frame(const QRectF& frame);

    // Device coordinates (pixels of the device) of a point in user units, and the
    // reverse scale factors, for callers that place widgets over the surface.
    QPointF to_device(float x, float y) const;
    double device_per_unit_x() const;
    double device_per_unit_y() const;

    void set_user_scale(float left, float top, float right, float bottom) override;
    void clear() override;

    Colour fore_color() const override { return pen_text_.fore_color; }
    void set_fore_color(Colour colour) override { pen_text_.fore_color = colour; }
    int pen_width() const override { return pen_text_.pen_width; }
    void set_pen_width(int width) override { pen_text_.pen_width = width; }
    int draw_mode() const override { return pen_text_.draw_mode; }
    void set_draw_mode(int mode) override { pen_text_.draw_mode = mode; }

    void line(float x1, float y1, float x2, float y2) override;
    void line_to(float x, float y) override;
    void box(float x1, float y1, float x2, float y2) override;
    void point(float x, float y) override;
    void lines_to(const float* xy, int count) override;

    float current_x() const override { return pen_text_.current_x; }
    float current_y() const override { return pen_text_.current_y; }
    void set_current(float x, float y) override;

    void print_text(const std::string& text) override;
    float text_width(const std::string& text) const override;
    float text_height(const std::string& text) const override;

    std::string font_name() const override { return pen_text_.font_name; }
    void set_font_name(const std::string& name) override;
    float font_size() const override { return pen_text_.font_size; }
    void set_font_size(float size) override;
    bool font_bold() const override { return pen_text_.font_bold; }
    void set_font_bold(bool bold) override;

    // The font the surface prints with, as Qt sees it.
    const QFont& current_font() const { return font_; }

    // Aliased on a 32-bit image, where one-pixel lines are written as opaque pixels;
    // set_hidden_lines_kept(true) draws them all anyway, as the reference for tests.
    bool overwrites_lines() const override;
    void set_hidden_lines_kept(bool kept) { hidden_lines_kept_ = kept; }

    // On a 32-bit image, up to one band per core (at most 4), each at least 64 rows high.
    // set_most_bands(n) draws in at most n bands whatever the cores (1: alone).
    int band_count() const override;
    void draw_in_bands(int bands, const std::function<void(Surface&, int)>& draw) override;
    void set_most_bands(int most) { most_bands_ = std::max(1, most); }

private:
    enum class Scale { User, Centimetres };

    // The rows top <= y < bottom of the device: all that a part drawing in bands sets.
    struct Band {
        int top;
        int bottom;
    };
    // A surface on view (the same pixels as this device) in this one's state, drawing only
    // the band; and this one taking on the state a part was left in.
    std::unique_ptr<PainterSurface> band_part(QPaintDevice* view, Band band) const;
    void take_state_of(const PainterSurface& part);
    // Whether the device rows top..bottom lie wholly outside the band drawn.
    bool misses_band(double top, double bottom) const;

    // The painter on the device, begun on first use; none when the device refuses.
    QPainter* painter();
    QPainter* painter_with_pen();
    // The pixel rows for a one-pixel segment in the current pen, when it may go there.
    const PixelRows* hairline_target();
    // line_to each of `count` points (x, y each) as one-pixel segments written into rows,
    // each from where the last one ended.
    void write_hairlines(const PixelRows& rows, const float* xy, int count);
    // Device pixels per user unit. Measuring asks the device for its size, which costs
    // more than the arithmetic of a segment, so the scale is kept while a painter is on
    // the device (which is not resized under it) and measured anew otherwise.
    struct DeviceScale {
        double per_unit_x;
        double per_unit_y;
        double origin_x; // the user coordinates of the picture's top-left corner
        double origin_y;
        double offset_x = 0; // that corner on the device, in device pixels
        double offset_y = 0;
    };
    static QPointF scaled(float x, float y, const DeviceScale& scale) {
        return {(x - scale.origin_x) * scale.per_unit_x + scale.offset_x,
                (y - scale.origin_y) * scale.per_unit_y + scale.offset_y};
    }
    DeviceScale measured_scale() const;
    DeviceScale device_scale() const;
    void keep_scale_while_painting();
    void rebuild_font();
    const QFontMetricsF& font_metrics() const;
    double device_pen_width() const;
    double device_width() const;
    double device_height() const;

    QPaintDevice* device_ = nullptr;
    std::unique_ptr<QPainter> painter_;
    bool device_failed_ = false;
    double pen_scale_ = 1.0;
    bool antialiasing_ = false;

    Scale scale_ = Scale::User;
    float left_ = 0, top_ = 0, right_ = 15, bottom_ = 15;
    std::optional<QRectF> picture_frame_; // where the user scale spans; none: the device

    // What the diagram sets and reads back as it draws; a band's part starts from it and
    // hands it back.
    struct PenAndText {
        Colour fore_color = 0;
        int pen_width = 1;
        int draw_mode = kDrawModeCopyPen;
        float current_x = 0, current_y = 0;
        std::string font_name = "Arial";
        float font_size = 8.25f;
        bool font_bold = false;
    };
    PenAndText pen_text_;

    // Building a QPen or a QFont and its metrics costs more than a short segment, so the
    // painter keeps its pen until the colour or width changes, and the font is rebuilt
    // only when its name, size or boldness does.
    // kind: a round-capped line pen of `width`, the plain one-pixel pen of text and points,
    // or no pen (a filled dot).
    struct PenState {
        enum class Kind { Line, Plain, None } kind;
        Colour colour;
        double width;
        bool operator==(const PenState&) const = default;
    };
    struct BrushState {
        bool filled;
        Colour colour;
        bool operator==(const BrushState&) const = default;
    };
    void use_pen(QPainter& p, PenState pen);
    void use_brush(QPainter& p, BrushState brush);
    void forget_painter_state();
    std::optional<PenState> pen_set_;
    std::optional<BrushState> brush_set_;
    bool font_set_ = false; // the painter's font is font_
    QFont font_;
    mutable std::optional<QFontMetricsF> metrics_;

    // The device's pixels while a painter is on a 32-bit image: one-pixel segments are
    // written there directly, the pixels the painter would set.
    std::optional<PixelRows> hairline_rows_;
    std::optional<DeviceScale> painting_scale_;
    // The end of the last one-pixel segment, in user units and on the device.
    struct EndPoint {
        float x; // user units
        float y;
        QPointF device;
    };
    std::optional<EndPoint> last_end_;
    // Segments not yet drawn, all in the pen pending_pen_.
    std::vector<QLineF> pending_;
    PenState pending_pen_{};
    bool hidden_lines_kept_ = false;
    std::optional<Band> band_; // none: every row
    int most_bands_;
};

// 0x00BBGGRR to Qt's colour.
QColor to_qcolor(Colour colour);

} // namespace teravine
