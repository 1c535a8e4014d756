// SPDX-License-Identifier: GPL-3.0-or-later
// The state of a PainterSurface: what the diagram sets and reads back as it draws (colour,
// pen width, current position, font), and the pen, brush and font a QPainter was last
// given, so that each is set only when it changes.
#pragma once

#include "diagram/surface.h"

#include <QColor>

#include <optional>
#include <string>

class QFont;
class QPainter;

namespace teravine {

// 0x00BBGGRR to Qt's colour.
QColor to_qcolor(Colour colour);

// What the diagram sets and reads back; a copy of the surface starts from it and hands it
// back whole.
struct PenAndText {
    Colour fore_color = 0;
    int pen_width = 1;
    int draw_mode = kDrawModeCopyPen;
    float current_x = 0, current_y = 0;
    std::string font_name = "Arial";
    float font_size = 8.25f;
    bool font_bold = false;

    bool same_font(const PenAndText& other) const {
        return font_name == other.font_name && font_size == other.font_size &&
               font_bold == other.font_bold;
    }
};

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

// Building a QPen costs more than a short segment, and setting a font sends every later
// drawText through the font cache's lock: the painter keeps its pen, brush and font until
// one of them changes.
class PainterPens {
public:
    void use_pen(QPainter& painter, PenState pen);
    void use_brush(QPainter& painter, BrushState brush);
    // font: the surface's font; font_changed() tells that it is another one now.
    void use_font(QPainter& painter, const QFont& font);
    void font_changed() { font_set_ = false; }
    // A new painter starts with none of them.
    void forget();

private:
    std::optional<PenState> pen_set_;
    std::optional<BrushState> brush_set_;
    bool font_set_ = false; // the painter's font is the surface's
};

} // namespace teravine
