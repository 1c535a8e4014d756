// SPDX-License-Identifier: GPL-3.0-or-later
// The clipped polyline drawer: draws a stored line inside the frame of the
// plot window, cut where it leaves the frame and resumed where it comes back.
#pragma once

#include "diagram/plot_window.h"
#include "diagram/surface.h"
#include "lines/line_store.h"
#include "model/calibration.h"

#include <concepts>

namespace teravine {

// Draws vertices 1..count, vertex(j) giving the LinePoint (AD, EG widths) of vertex j,
// in colour, every EG width multiplied by factor. The drawing mode is copy-pen while
// drawing; the mode and the foreground colour are put back at the end. The current
// position ends at the last vertex plotted, where callers print labels.
// A count below 1 draws nothing and leaves the surface untouched. Returns whether
// anything was drawn.
template <class VertexAt>
requires std::invocable<const VertexAt&, int>
bool draw_polyline(float factor, Surface& surface, const PlotWindow& plot, const VertexAt& vertex,
                   int count, Colour colour) {
    if (count < 1) {
        return false;
    }
    const auto surface_of = [&](int j, float& px, float& py) {
        const LinePoint v = vertex(j);
        px = x_to_surface(v.ad, plot.xmin, plot.xorig, plot.xunit);
        py = y_to_surface(v.eg * factor, plot.ymin, plot.yorig, plot.yunit);
    };
    const auto inside = [&](float px, float py) {
        return plot.left <= px && px <= plot.right && plot.top <= py && py <= plot.bottom;
    };
    // The start test leaves the right edge out.
    const auto may_start = [&](float px, float py) {
        return px >= plot.left && plot.top <= py && py <= plot.bottom;
    };

    const int mode = surface.draw_mode();
    surface.set_draw_mode(kDrawModeCopyPen);

    int j = 1;
    float px = 0, py = 0;
    surface_of(j, px, py);
    while (!may_start(px, py) && j + 1 <= count) {
        ++j;
        surface_of(j, px, py);
    }

    const Colour kept_colour = surface.fore_color();
    surface.set_fore_color(colour);
    surface.point(px, py);
    // Consecutive line_to calls go to the surface as runs, in the same order.
    constexpr int kRun = 64;
    float run[2 * kRun];
    int held = 0;
    const auto draw_run = [&] {
        if (held > 0) {
            surface.lines_to(run, held);
            held = 0;
        }
    };
    bool pen_down = true;
    for (++j; j <= count; ++j) {
        surface_of(j, px, py);
        if (!inside(px, py)) {
            draw_run();
            pen_down = false;
        } else if (pen_down) {
            run[2 * held] = px;
            run[2 * held + 1] = py;
            if (++held == kRun) {
                draw_run();
            }
        } else {
            draw_run();
            surface.point(px, py);
            pen_down = true;
        }
    }
    draw_run();

    surface.set_draw_mode(mode);
    surface.set_fore_color(kept_colour);
    return true;
}

// Points 1..count of a stored line; a count beyond the points held is cut to them.
bool draw_polyline(float factor, Surface& surface, const PlotWindow& plot, const Line& line,
                   int count, Colour colour);

// Points 1..count of the sampled constant-k curve of row (1..5).
bool draw_polyline(float factor, Surface& surface, const PlotWindow& plot, const KCurves& k_curve,
                   int row, int count, Colour colour);

} // namespace teravine
