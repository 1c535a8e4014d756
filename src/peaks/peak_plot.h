// SPDX-License-Identifier: GPL-3.0-or-later
// Where everything of a measured peak lies on a plot of counts against 2θ: the counts,
// the ends of the measuring range, the straight background, the half-height line and the
// two crossings, with the ticks of both axes. Plain numbers in the plot's own units (y
// down), so any surface can draw it and a pointer on it can be read back as a 2θ.
#pragma once

#include "peaks/peak_width.h"
#include "peaks/profile_fit.h"

#include <optional>
#include <string>
#include <vector>

namespace teravine {

struct PlotArea {
    double left = 0, top = 0, right = 1, bottom = 1;
};

// Axis ticks: the smallest step of 1, 2 or 5 times a power of ten that gives at most
// `most` ticks over the span, the ticks of that step within [lo, hi], and a tick's label
// with the decimals its step needs.
double tick_step(double span, int most);
std::vector<double> ticks_between(double lo, double hi, double step);
std::string tick_label(double value, double step);

struct PlotPoint {
    double x = 0, y = 0;
};

struct PlotTick {
    double at = 0; // x of an x tick, y of a count tick, in plot units
    std::string label;
};

// The 2θ span shown, on the pattern's own scale, and whether counts go on a log scale.
struct PeakView {
    double lo = 0, hi = 1;
    bool log_counts = false;
};

// The view around a range: the range with a quarter of its width on either side, within the
// pattern's own span.
PeakView view_around(const Pattern& pattern, double range_lo, double range_hi, bool log_counts);

struct PeakPlot {
    PlotArea area;
    PeakView view;
    double count_lo = 0, count_hi = 1; // the count axis, in log10 counts on a log scale
    std::vector<PlotPoint> trace;      // the pattern's points within the view
    double range_lo_x = 0, range_hi_x = 0;
    // Empty when nothing was measured; on a log scale the straight lines become curves.
    std::vector<PlotPoint> background;
    std::vector<PlotPoint> half_height;
    std::vector<PlotPoint> crossings;
    // With a fit: the fitted model, each component's Kα1 profile over the background (the
    // half-height line marks the reported one's), and the residual (counts less model) in a
    // band along the plot's foot, about `residual_zero`. The counts axis spans the counts
    // within the range; whatever lies beyond it is drawn at its end.
    std::vector<PlotPoint> fitted;
    std::vector<std::vector<PlotPoint>> components;
    std::vector<PlotPoint> residual;
    double residual_zero = 0;
    std::vector<PlotTick> x_ticks, count_ticks;

    double x_of(double two_theta) const;
    double two_theta_at(double x) const;
    double y_of(double counts_at) const;
};

// The range's ends are on the pattern's scale, as are width's drawing figures.
// With a fit, its curves are laid out too.
PeakPlot lay_out_peak_plot(const Pattern& pattern, const std::optional<PeakWidth>& width,
                           double range_lo, double range_hi, const PeakView& view,
                           const PlotArea& area, const ProfileFit* fit = nullptr);

} // namespace teravine
