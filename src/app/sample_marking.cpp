// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sample_marking.h"

#include "diagram/draw_diagram.h"
#include "diagram/polyline.h"
#include "diagram/text_style.h"

namespace teravine {

void mark_new_sample(Surface& surface, const PlotWindow& plot, const PlacedSample& sample,
                     IdenticalSwitches shown, float pos_x, float pos_y,
                     const std::optional<std::string>& label) {
    const Colour colour = surface.fore_color();
    const int pen = surface.pen_width();
    TextStyle style;
    keep_text_style(1, style, surface);

    if (shown.k) {
        draw_polyline(1, surface, plot, sample.line_k, sample.line_k.count, kColourK);
    }
    surface.set_fore_color(kColourSample);
    surface.set_pen_width(5);
    surface.point(pos_x, pos_y);

    surface.set_font_name("Arial");
    surface.set_font_size(12);
    surface.set_font_bold(true);
    if (label) {
        place_sample_label(surface, plot, *label);
        surface.print_text(*label);
    }

    const struct {
        bool on;
        const Line& line;
        Colour colour;
    } lines[] = {{shown.n, sample.line_n, kColourN},
                 {shown.s, sample.line_s, kColourS},
                 {shown.fp, sample.line_fp, kColourFp}};
    for (const auto& l : lines) {
        if (l.on) {
            surface.set_pen_width(1);
            draw_polyline(1, surface, plot, l.line, l.line.count, l.colour);
        }
    }

    keep_text_style(2, style, surface);
    surface.set_fore_color(colour);
    surface.set_pen_width(pen);
}

} // namespace teravine
