// SPDX-License-Identifier: GPL-3.0-or-later
// A Surface that draws and records nothing, for timing sessions without drawing: it keeps
// only the state a caller can read back, and measures text as the recording surface does.
#pragma once

#include "diagram/surface.h"

#include <string>

namespace teravine {

class NullSurface : public Surface {
public:
    int drawn = 0; // drawing operations received, to tell that drawing happened at all

    void set_user_scale(float, float, float, float) override {}
    void clear() override { cx_ = cy_ = 0; }

    Colour fore_color() const override { return colour_; }
    void set_fore_color(Colour colour) override { colour_ = colour; }
    int pen_width() const override { return pen_; }
    void set_pen_width(int width) override { pen_ = width; }
    int draw_mode() const override { return mode_; }
    void set_draw_mode(int mode) override { mode_ = mode; }

    void line(float, float, float x2, float y2) override { move(x2, y2); }
    void line_to(float x, float y) override { move(x, y); }
    void box(float, float, float x2, float y2) override { move(x2, y2); }
    void point(float x, float y) override { move(x, y); }

    float current_x() const override { return cx_; }
    float current_y() const override { return cy_; }
    void set_current(float x, float y) override {
        cx_ = x;
        cy_ = y;
    }

    void print_text(const std::string&) override {
        ++drawn;
        cx_ = 0;
        cy_ += text_height("");
    }
    float text_width(const std::string& text) const override {
        return 0.1f * static_cast<float>(text.size()) * size_ / 10;
    }
    float text_height(const std::string&) const override { return 0.25f * size_ / 10; }

    std::string font_name() const override { return font_; }
    void set_font_name(const std::string& name) override { font_ = name; }
    float font_size() const override { return size_; }
    void set_font_size(float size) override { size_ = size; }
    bool font_bold() const override { return bold_; }
    void set_font_bold(bool bold) override { bold_ = bold; }

private:
    void move(float x, float y) {
        ++drawn;
        cx_ = x;
        cy_ = y;
    }

    Colour colour_ = 0;
    int pen_ = 1;
    int mode_ = kDrawModeCopyPen;
    float cx_ = 0, cy_ = 0;
    std::string font_ = "MS Sans Serif";
    float size_ = 8.25f;
    bool bold_ = false;
};

} // namespace teravine
