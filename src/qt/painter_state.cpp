// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/painter_state.h"

#include <QFont>
#include <QPainter>
#include <QPen>

namespace teravine {

QColor to_qcolor(Colour colour) {
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

void PainterPens::use_pen(QPainter& painter, PenState pen) {
    if (pen_set_ == pen) {
        return;
    }
    switch (pen.kind) {
    case PenState::Kind::Line:
        painter.setPen(
            QPen(to_qcolor(pen.colour), pen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        break;
    case PenState::Kind::Plain:
        painter.setPen(to_qcolor(pen.colour));
        break;
    case PenState::Kind::None:
        painter.setPen(Qt::NoPen);
        break;
    }
    pen_set_ = pen;
}

void PainterPens::use_brush(QPainter& painter, BrushState brush) {
    if (brush_set_ != brush) {
        if (brush.filled) {
            painter.setBrush(to_qcolor(brush.colour));
        } else {
            painter.setBrush(Qt::NoBrush);
        }
        brush_set_ = brush;
    }
}

void PainterPens::use_font(QPainter& painter, const QFont& font) {
    if (!font_set_) {
        painter.setFont(font);
        font_set_ = true;
    }
}

void PainterPens::forget() {
    pen_set_.reset();
    brush_set_.reset();
    font_set_ = false;
}

} // namespace teravine
