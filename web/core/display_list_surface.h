// SPDX-License-Identifier: GPL-3.0-or-later
// The page's picture: a Surface that records what is drawn as a list of drawing commands
// in pixels, which the page's JavaScript plays onto its canvas. Text is measured by the
// page (its canvas knows the fonts), through a function handed over from JavaScript.
#pragma once

#include "diagram/surface.h"

#include <emscripten/val.h>

#include <string>
#include <vector>

namespace teravine::web {

// The commands, each an opcode followed by its numbers; texts and fonts are indices into
// the list of strings handed over with them.
enum class DrawOp {
    clear = 1,     // width height
    colour = 2,    // 0x00BBGGRR
    pen_width = 3, // pixels
    draw_mode = 4, // 13: copy pen; others as the window's draw modes
    line = 5,      // x1 y1 x2 y2
    box = 6,       // x1 y1 x2 y2, unfilled
    point = 7,     // x y
    text = 8,      // string x y (top left)
    font = 9,      // string (a CSS font)
};

class DisplayListSurface : public Surface {
public:
    // `measure(font, text)` gives {width, height} in pixels.
    explicit DisplayListSurface(emscripten::val measure);

    void set_pixel_size(int width, int height);
    int pixel_width() const { return width_; }
    int pixel_height() const { return height_; }
    // The commands recorded since the last call, and their strings; then forgets them.
    emscripten::val take_commands();

    // A figure for a file, as the window writes one: drawn by `draw` in width x height
    // pixels, to be written at twice that size; {list, width, height, scale}.
    template <class Draw>
    static emscripten::val figure_file(emscripten::val measure, double width, double height,
                                       const Draw& draw) {
        DisplayListSurface surface(measure);
        const int wide = static_cast<int>(width + 0.5);
        const int high = static_cast<int>(height + 0.5);
        surface.set_pixel_size(wide, high);
        surface.set_user_scale(0, 0, static_cast<float>(width), static_cast<float>(height));
        draw(surface);
        emscripten::val out = emscripten::val::object();
        out.set("list", surface.take_commands());
        out.set("width", wide);
        out.set("height", high);
        out.set("scale", 2);
        return out;
    }

    void set_user_scale(float left, float top, float right, float bottom) override;
    void clear() override;
    Colour fore_color() const override { return colour_; }
    void set_fore_color(Colour colour) override;
    int pen_width() const override { return pen_width_; }
    void set_pen_width(int width) override;
    int draw_mode() const override { return draw_mode_; }
    void set_draw_mode(int mode) override;
    void line(float x1, float y1, float x2, float y2) override;
    void line_to(float x, float y) override;
    void box(float x1, float y1, float x2, float y2) override;
    void point(float x, float y) override;
    float current_x() const override { return x_; }
    float current_y() const override { return y_; }
    void set_current(float x, float y) override;
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
    float px(float x) const { return (x - left_) * static_cast<float>(width_) / (right_ - left_); }
    float py(float y) const { return (y - top_) * static_cast<float>(height_) / (bottom_ - top_); }
    std::string css_font() const;
    // {width, height} of the text in pixels.
    std::pair<float, float> measure(const std::string& text) const;
    void emit(DrawOp op, std::initializer_list<float> numbers);
    void emit_font();
    float add_string(const std::string& text);

    emscripten::val measure_;
    int width_ = 1;
    int height_ = 1;
    float left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
    Colour colour_ = 0;
    int pen_width_ = 1;
    int draw_mode_ = kDrawModeCopyPen;
    float x_ = 0, y_ = 0;
    std::string font_name_ = "Arial";
    float font_size_ = 8.25f;
    bool font_bold_ = false;
    bool font_sent_ = false;
    std::vector<float> commands_;
    std::vector<std::string> strings_;
};

} // namespace teravine::web
