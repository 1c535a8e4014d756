// SPDX-License-Identifier: GPL-3.0-or-later
#include "display_list_surface.h"

#include <emscripten/val.h>

#include <algorithm>

namespace teravine::web {

using emscripten::val;

DisplayListSurface::DisplayListSurface(val measure) : measure_(std::move(measure)) {}

void DisplayListSurface::set_pixel_size(int width, int height) {
    width_ = std::max(1, width);
    height_ = std::max(1, height);
}

val DisplayListSurface::take_commands() {
    val result = val::object();
    // A copy of the numbers as one Float32Array, not a number at a time.
    result.set("commands",
               val::global("Float32Array")
                   .new_(emscripten::typed_memory_view(commands_.size(), commands_.data())));
    result.set("strings", val::array(strings_));
    commands_.clear();
    strings_.clear();
    font_sent_ = false; // the next list starts with its own font
    return result;
}

void DisplayListSurface::emit(DrawOp op, std::initializer_list<float> numbers) {
    commands_.push_back(static_cast<float>(op));
    commands_.insert(commands_.end(), numbers);
}

float DisplayListSurface::add_string(const std::string& text) {
    strings_.push_back(text);
    return static_cast<float>(strings_.size() - 1);
}

std::string DisplayListSurface::css_font() const {
    // Points at the screen's 96 pixels an inch.
    const float pixels = font_size_ * 96.0f / 72.0f;
    return std::string(font_bold_ ? "bold " : "") + std::to_string(pixels) + "px \"" + font_name_ +
           "\", Arial, \"Liberation Sans\", sans-serif";
}

void DisplayListSurface::emit_font() {
    if (!font_sent_) {
        emit(DrawOp::font, {add_string(css_font())});
        font_sent_ = true;
    }
}

std::pair<float, float> DisplayListSurface::measure(const std::string& text) const {
    const val size = measure_(css_font(), text);
    return {size[0].as<float>(), size[1].as<float>()};
}

void DisplayListSurface::set_user_scale(float left, float top, float right, float bottom) {
    left_ = left;
    top_ = top;
    right_ = right != left ? right : left + 1;
    bottom_ = bottom != top ? bottom : top + 1;
}

void DisplayListSurface::clear() {
    // What was drawn before is covered: the list starts again.
    commands_.clear();
    strings_.clear();
    font_sent_ = false;
    emit(DrawOp::clear, {static_cast<float>(width_), static_cast<float>(height_)});
    emit(DrawOp::colour, {static_cast<float>(colour_)});
    emit(DrawOp::pen_width, {static_cast<float>(pen_width_)});
    emit(DrawOp::draw_mode, {static_cast<float>(draw_mode_)});
}

void DisplayListSurface::set_fore_color(Colour colour) {
    if (colour != colour_) {
        colour_ = colour;
        emit(DrawOp::colour, {static_cast<float>(colour)});
    }
}

void DisplayListSurface::set_pen_width(int width) {
    if (width != pen_width_) {
        pen_width_ = width;
        emit(DrawOp::pen_width, {static_cast<float>(width)});
    }
}

void DisplayListSurface::set_draw_mode(int mode) {
    if (mode != draw_mode_) {
        draw_mode_ = mode;
        emit(DrawOp::draw_mode, {static_cast<float>(mode)});
    }
}

void DisplayListSurface::line(float x1, float y1, float x2, float y2) {
    emit(DrawOp::line, {px(x1), py(y1), px(x2), py(y2)});
    x_ = x2;
    y_ = y2;
}

void DisplayListSurface::line_to(float x, float y) {
    line(x_, y_, x, y);
}

void DisplayListSurface::box(float x1, float y1, float x2, float y2) {
    emit(DrawOp::box, {px(x1), py(y1), px(x2), py(y2)});
    x_ = x2;
    y_ = y2;
}

void DisplayListSurface::point(float x, float y) {
    emit(DrawOp::point, {px(x), py(y)});
    x_ = x;
    y_ = y;
}

void DisplayListSurface::set_current(float x, float y) {
    x_ = x;
    y_ = y;
}

void DisplayListSurface::print_text(const std::string& text) {
    emit_font();
    emit(DrawOp::text, {add_string(text), px(x_), py(y_)});
    x_ = 0;
    y_ += text_height(text);
}

float DisplayListSurface::text_width(const std::string& text) const {
    return measure(text).first * (right_ - left_) / static_cast<float>(width_);
}

float DisplayListSurface::text_height(const std::string& text) const {
    return measure(text).second * (bottom_ - top_) / static_cast<float>(height_);
}

void DisplayListSurface::set_font_name(const std::string& name) {
    font_name_ = name;
    font_sent_ = false;
}

void DisplayListSurface::set_font_size(float size) {
    font_size_ = size;
    font_sent_ = false;
}

void DisplayListSurface::set_font_bold(bool bold) {
    font_bold_ = bold;
    font_sent_ = false;
}

} // namespace teravine::web
