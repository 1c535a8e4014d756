// SPDX-License-Identifier: GPL-3.0-or-later
// What the plots of the figures (the measured peaks, the CIS calibration, the thickness
// analysis) draw with: text at a point, a line through points, a value axis mapped onto
// the surface, its span padded, and a framed plot area with its ticks and their labels.
#pragma once

#include "diagram/surface.h"
#include "peaks/peak_plot.h"

#include <string>
#include <utility>
#include <vector>

namespace teravine {

// Prints the text with its top-left corner at (x, y).
void text_at(Surface& s, double x, double y, const std::string& text);

// Lines from each point to the next, in the surface's colour and pen.
void join_points(Surface& s, const std::vector<PlotPoint>& points);

// Values lo to hi mapped onto [from, to] of the surface (to < from for an upward axis).
struct FigureAxis {
    double lo = 0, hi = 1, from = 0, to = 1;
    double at(double value) const { return from + (value - lo) / (hi - lo) * (to - from); }
};

// lo and hi widened by a share of their span on each side; a span of nothing widened to one
// of `least` first.
std::pair<double, double> padded(double lo, double hi, double share, double least);

// The area's frame in black with ticks of x below it and of y to its left, labelled (the
// x labels only when asked); leaves the pen width at 1.
void draw_axes_frame(Surface& s, const PlotArea& area, const FigureAxis& x, const FigureAxis& y,
                     bool x_labels);

} // namespace teravine
