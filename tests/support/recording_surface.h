// SPDX-License-Identifier: GPL-3.0-or-later
// A Surface for tests: records every operation with the state in force at that moment,
// and answers text metrics from fixed rules instead of fonts.
//   text width  = 0.1 x characters x font size / 10 (characters are UTF-8 code points)
//   text height = 0.25 x font size / 10
// Header-only, so any test folder can include "support/recording_surface.h".
#pragma once

#include "diagram/surface.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace teravine {

enum class OpKind {
    set_user_scale,
    clear,
    set_fore_color,
    set_pen_width,
    set_draw_mode,
    set_current,
    set_font_name,
    set_font_size,
    set_font_bold,
    line,    // (x1, y1)-(x2, y2)
    line_to, // from the current position (x1, y1) to (x2, y2)
    box,     // corners (x1, y1) and (x2, y2)
    point,   // at (x1, y1)
    text,    // top-left corner at (x1, y1)
};

struct Op {
    OpKind kind{};
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::string text; // printed text, or the font name set
    float value = 0;  // the number set by a set_* operation (colour, width, mode, size, bold)
    // Surface state in force when the operation ran (after it, for the set_* kinds).
    Colour colour = 0;
    int pen_width = 1;
    int draw_mode = kDrawModeCopyPen;
    std::string font_name;
    float font_size = 0;
    bool bold = false;

    bool draws() const {
        return kind == OpKind::line || kind == OpKind::line_to || kind == OpKind::box ||
               kind == OpKind::point || kind == OpKind::text;
    }
};

// A run of connected ink: a point followed by the line_to operations that continue it.
struct Piece {
    Colour colour = 0;
    int pen_width = 1;
    struct Vertex {
        float x = 0, y = 0;
    };
    std::vector<Vertex> vertices;
};

class RecordingSurface : public Surface {
public:
    // The starting state, public so a test can set up any surface.
    Colour colour = 0;
    int width = 1;
    int mode = kDrawModeCopyPen;
    std::string font = "MS Sans Serif";
    float size = 8.25f;
    bool bold = false;
    float cx = 0, cy = 0;

    std::vector<Op> ops;
    bool overwrites = false; // what overwrites_lines() says

    bool overwrites_lines() const override { return overwrites; }

    // Operations of one kind, in order.
    std::vector<Op> of(OpKind kind) const {
        std::vector<Op> out;
        std::copy_if(ops.begin(), ops.end(), std::back_inserter(out),
                     [&](const Op& op) { return op.kind == kind; });
        return out;
    }
    // Everything that put ink on the surface, in order.
    std::vector<Op> drawn() const {
        std::vector<Op> out;
        std::copy_if(ops.begin(), ops.end(), std::back_inserter(out),
                     [](const Op& op) { return op.draws(); });
        return out;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const Op& op : ops) {
            if (op.kind == OpKind::text) {
                out.push_back(op.text);
            }
        }
        return out;
    }
    // Every point starts a piece and every line_to extends the piece drawn last; other
    // drawing operations (line, box, text) end the piece. Sample dots are one-vertex pieces.
    std::vector<Piece> pieces() const {
        std::vector<Piece> out;
        bool open = false;
        for (const Op& op : ops) {
            if (op.kind == OpKind::point) {
                out.push_back(Piece{op.colour, op.pen_width, {{op.x1, op.y1}}});
                open = true;
            } else if (op.kind == OpKind::line_to) {
                if (!open) {
                    out.push_back(Piece{op.colour, op.pen_width, {{op.x1, op.y1}}});
                    open = true;
                }
                out.back().vertices.push_back({op.x2, op.y2});
            } else if (op.draws()) {
                open = false;
            }
        }
        return out;
    }
    void forget() { ops.clear(); }

    static float width_of(const std::string& text, float font_size) {
        const auto chars = std::count_if(text.begin(), text.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80; // not a continuation byte
        });
        return 0.1f * static_cast<float>(chars) * font_size / 10;
    }
    static float height_of(float font_size) { return 0.25f * font_size / 10; }

    void set_user_scale(float left, float top, float right, float bottom) override {
        record(OpKind::set_user_scale, left, top, right, bottom);
    }
    void clear() override {
        cx = cy = 0;
        record(OpKind::clear);
    }

    Colour fore_color() const override { return colour; }
    void set_fore_color(Colour c) override {
        colour = c;
        record_value(OpKind::set_fore_color, static_cast<float>(c));
    }
    int pen_width() const override { return width; }
    void set_pen_width(int w) override {
        width = w;
        record_value(OpKind::set_pen_width, static_cast<float>(w));
    }
    int draw_mode() const override { return mode; }
    void set_draw_mode(int m) override {
        mode = m;
        record_value(OpKind::set_draw_mode, static_cast<float>(m));
    }

    void line(float x1, float y1, float x2, float y2) override {
        record(OpKind::line, x1, y1, x2, y2);
        cx = x2;
        cy = y2;
    }
    void line_to(float x, float y) override {
        record(OpKind::line_to, cx, cy, x, y);
        cx = x;
        cy = y;
    }
    void box(float x1, float y1, float x2, float y2) override {
        record(OpKind::box, x1, y1, x2, y2);
        cx = x2;
        cy = y2;
    }
    void point(float x, float y) override {
        record(OpKind::point, x, y, x, y);
        cx = x;
        cy = y;
    }

    float current_x() const override { return cx; }
    float current_y() const override { return cy; }
    void set_current(float x, float y) override {
        cx = x;
        cy = y;
        record(OpKind::set_current, x, y, x, y);
    }

    void print_text(const std::string& text) override {
        Op& op = record(OpKind::text, cx, cy, cx + width_of(text, size), cy + height_of(size));
        op.text = text;
        cx = 0;
        cy += height_of(size);
    }
    float text_width(const std::string& text) const override { return width_of(text, size); }
    float text_height(const std::string&) const override { return height_of(size); }

    std::string font_name() const override { return font; }
    void set_font_name(const std::string& name) override {
        font = name;
        record(OpKind::set_font_name).text = name;
    }
    float font_size() const override { return size; }
    void set_font_size(float s) override {
        size = s;
        record_value(OpKind::set_font_size, s);
    }
    bool font_bold() const override { return bold; }
    void set_font_bold(bool b) override {
        bold = b;
        record_value(OpKind::set_font_bold, b ? 1.0f : 0.0f);
    }

private:
    Op& record(OpKind kind, float x1 = 0, float y1 = 0, float x2 = 0, float y2 = 0) {
        Op op;
        op.kind = kind;
        op.x1 = x1;
        op.y1 = y1;
        op.x2 = x2;
        op.y2 = y2;
        op.colour = colour;
        op.pen_width = width;
        op.draw_mode = mode;
        op.font_name = font;
        op.font_size = size;
        op.bold = bold;
        ops.push_back(op);
        return ops.back();
    }
    void record_value(OpKind kind, float value) { record(kind).value = value; }
};

} // namespace teravine
