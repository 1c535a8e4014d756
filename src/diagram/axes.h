// SPDX-License-Identifier: GPL-3.0-or-later
// The axes step of every drawing: lays the frame out, draws it and the
// ticks with their labels, and places the horizontal-axis caption.
#pragma once

#include "diagram/plot_window.h"
#include "diagram/surface.h"

#include <cstdint>
#include <string>

namespace teravine {

// The caption labels legx and legy live in the window, not on the surface; the drawing
// fills this record and the window (or the printer or headless code) places them.
// legy's position is fixed by the window layout and is not the drawing's business.
struct AxisCaptions {
    std::string x_text = "IW2w (\u00B0CuKalpha)"; // legx caption (UTF-8)
    std::string y_text = "IW2g";                  // legy caption
    float x_left = 0, x_top = 0;                  // where draw_x_axis moved legx, surface units
    bool x_visible = false, y_visible = false;
};

// Number of major intervals: span / step rounded to the nearest integer, ties to even.
std::int16_t interval_count(float span, float step);

// Lays the frame out in plot (origins and edges), draws it with pen width 3, then both
// axes with pen width 1. Leaves the surface with pen width 1 and the axis font.
void draw_axes(Surface& surface, float font_size, const std::string& font_name,
               AxisCaptions& captions, PlotWindow& plot);

// Ticks hanging below the bottom edge, their labels, and legx's position.
void draw_x_axis(Surface& surface, const PlotWindow& plot, float tick_length, int interval_count,
                 float font_size, const std::string& font_name, int minor_count,
                 AxisCaptions& captions);

// Ticks sticking out left of the left edge and their labels; legy is only shown.
void draw_y_axis(Surface& surface, const PlotWindow& plot, float tick_length, int interval_count,
                 float font_size, const std::string& font_name, int minor_count,
                 AxisCaptions& captions);

} // namespace teravine
