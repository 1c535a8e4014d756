// A measuring aid, not part of the program: the picture's QPainter surface as it could be
// if it kept its pen and font between calls and handed runs of line segments to QPainter
// in one call. It draws what PainterSurface draws (the redraw benchmark checks the
// image), so its time shows what the drawing would cost with those changes.
#pragma once

#include "diagram/surface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QPainter>

#include <optional>
#include <string>
#include <vector>

namespace teravine::bench {

class BatchedSurface final : public Surface {
public:
    explicit BatchedSurface(QImage* image, bool antialiased);
    ~BatchedSurface() override;
    BatchedSurface(const BatchedSurface&) = delete;
    BatchedSurface& operator=(const BatchedSurface&) = delete;

    void finish();

    void set_user_scale(float left, float top, float right, float bottom) override;
    void clear() override;
    Colour fore_color() const override { return fore_color_; }
    void set_fore_color(Colour colour) override { fore_color_ = colour; }
    int pen_width() const override { return pen_width_; }
    void set_pen_width(int width) override { pen_width_ = width; }
    int draw_mode() const override { return draw_mode_; }
    void set_draw_mode(int mode) override { draw_mode_ = mode; }
    void line(float x1, float y1, float x2, float y2) override;
    void line_to(float x, float y) override { line(current_x_, current_y_, x, y); }
    void box(float x1, float y1, float x2, float y2) override;
    void point(float x, float y) override;
    float current_x() const override { return current_x_; }
    float current_y() const override { return current_y_; }
    void set_current(float x, float y) override {
        current_x_ = x;
        current_y_ = y;
    }
    void print_text(const std::string& text) override;
    float text_width(const std::string& text) const override;
    float text_height(const std::string& text) const override;
    std::string font_name() const override { return font_name_; }
    void set_font_name(const std::string& name) override;
    float font_size() const override { return font_size_; }
    void set_font_size(float size) override;
    bool font_bold() const override { return font_bold_; }
    void set_font_bold(bool bold) override;

private:
    QPainter& painter();
    void flush();
    void use_pen(Colour colour, double width);
    QPointF to_device(float x, float y) const;
    const QFontMetricsF& metrics() const;

    QImage* image_;
    bool antialiased_;
    std::optional<QPainter> painter_;
    double unit_x_ = 1, unit_y_ = 1;
    float left_ = 0, top_ = 0, right_ = 15, bottom_ = 15;
    Colour fore_color_ = 0;
    int pen_width_ = 1;
    int draw_mode_ = kDrawModeCopyPen;
    float current_x_ = 0, current_y_ = 0;
    std::string font_name_ = "Arial";
    float font_size_ = 8.25f;
    bool font_bold_ = false;

    // Segments waiting for one drawLines call, all in pending_colour_ and pending_width_.
    std::vector<QLineF> pending_;
    Colour pending_colour_ = 0;
    double pending_width_ = 0;
    // The pen the painter holds, so it is set only when it changes.
    std::optional<std::pair<Colour, double>> pen_set_;
    mutable std::optional<QFontMetricsF> metrics_;
    QFont font_;
};

} // namespace teravine::bench
