// SPDX-License-Identifier: GPL-3.0-or-later
// The diagram's drawing surface on a QPainter: the window's picture, a printer page, a
// PNG image, an SVG or a PDF file all draw through this one class. On a 32-bit image it
// writes one-pixel lines straight into the pixels (raster/hairline_writer) and draws a
// picture of many samples in bands on several threads (painter_surface_bands.cpp), the
// pixels the painter alone would set.
#pragma once

#include "diagram/surface.h"
#include "qt/device_scale.h"
#include "qt/painter_state.h"
#include "qt/raster/hairline_writer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPointF>
#include <QRectF>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPaintDevice;

namespace teravine {

// From this many samples on, a picture is drawn in bands at once. Fewer draw faster on
// one thread than a second thread takes to start and to load its fonts (measured: 400
// samples 8.1 ms in two bands, 6.2 ms alone; 1,000 samples 10.7 ms against 13.9 ms).
inline constexpr std::size_t kSamplesWorthBands = 800;

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
    // whole device, until the device changes or the frame is taken away (nothing): a
    // figure places its picture on a page.
    void set_picture_frame(const std::optional<QRectF>& frame);

    // Device coordinates (pixels of the device) of a point in user units, and the
    // reverse scale factors, for callers that place widgets over the surface.
    QPointF to_device(float x, float y) const { return device_scale().to_device(x, y); }
    double device_per_unit_x() const { return device_scale().per_unit_x; }
    double device_per_unit_y() const { return device_scale().per_unit_y; }

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
    void set_current(float x, float y) override {
        pen_text_.current_x = x;
        pen_text_.current_y = y;
    }

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

    // With kSamplesWorthBands samples or more on a 32-bit image: in horizontal bands, up to
    // one per core (at most 4), each at least 64 rows high, each drawn by its own thread
    // on a copy of this surface clipped to its band. set_most_bands(n) draws in at most n
    // bands whatever the cores (1: alone).
    void draw_whole(std::size_t samples, const WholeDrawing& draw) override;
    void set_most_bands(int most) { most_bands_ = std::max(1, most); }

private:
    // The rows top <= y < bottom of the device: all that a copy drawing in bands sets.
    struct Band {
        int top;
        int bottom;
    };
    // How many bands this surface can be drawn in at once: 1 when it cannot.
    int band_count() const;
    // A surface on view (the same pixels as this device) in this one's state, drawing only
    // the band; and this one taking on the state a copy was left in.
    std::unique_ptr<PainterSurface> band_copy(QPaintDevice* view, Band band) const;
    void take_state_of(const PainterSurface& copy);
    // Whether the device rows top..bottom lie wholly outside the band drawn.
    bool misses_band(double top, double bottom) const {
        return band_ && (bottom < band_->top - 1 || top > band_->bottom + 1);
    }

    // The painter on the device, begun on first use; none when the device refuses.
    QPainter* painter();
    QPainter* painter_with_pen();
    // The one-pixel writer for a segment in the current pen, when it may write.
    HairlineWriter* hairline_target();
    // line_to each of `count` points (x, y each) by the one-pixel writer.
    void write_hairlines(HairlineWriter& writer, const float* xy, int count);

    // The device scale is kept while a painter is on the device (which is not resized
    // under it) and measured anew otherwise.
    DeviceScale device_scale() const {
        return painting_scale_ ? *painting_scale_ : scale_.measure(device_);
    }
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
    UserScale scale_;
    std::optional<DeviceScale> painting_scale_;

    PenAndText pen_text_;
    PainterPens pens_;
    // Building a QFont and its metrics costs more than a short segment: the font is
    // rebuilt only when its name, size or boldness changes.
    QFont font_;
    mutable std::optional<QFontMetricsF> metrics_;

    // While a painter is on a 32-bit image: one-pixel segments are written there directly.
    std::optional<HairlineWriter> hairlines_;
    // Segments not yet drawn, all in the pen pending_pen_.
    std::vector<QLineF> pending_;
    PenState pending_pen_{};
    bool hidden_lines_kept_ = false;
    std::optional<Band> band_; // none: every row
    int most_bands_;
};

} // namespace teravine
