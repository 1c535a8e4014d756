// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/figure_axes.h"

#include <algorithm>

namespace teravine {
namespace {

constexpr Colour kInk = 0x000000;
constexpr double kTick = 4;

float f(double value) {
    return static_cast<float>(value);
}

} // namespace

void text_at(Surface& s, double x, double y, const std::string& text) {
    s.set_current(f(x), f(y));
    s.print_text(text);
}

void join_points(Surface& s, const std::vector<PlotPoint>& points) {
    if (points.empty()) {
        return;
    }
    s.set_current(f(points.front().x), f(points.front().y));
    for (std::size_t i = 1; i < points.size(); ++i) {
        s.line_to(f(points[i].x), f(points[i].y));
    }
}

std::pair<double, double> padded(double lo, double hi, double share, double least) {
    const double span = std::max(hi - lo, least);
    const double mid = (lo + hi) / 2;
    lo = std::min(lo, mid - span / 2);
    hi = std::max(hi, mid + span / 2);
    return {lo - span * share, hi + span * share};
}

void draw_axes_frame(Surface& s, const PlotArea& a, const FigureAxis& x, const FigureAxis& y,
                     bool x_labels) {
    s.set_fore_color(kInk);
    s.set_pen_width(1);
    s.box(f(a.left), f(a.top), f(a.right), f(a.bottom));
    const double x_step = tick_step(x.hi - x.lo, 5);
    for (const double v : ticks_between(x.lo, x.hi, x_step)) {
        const double px = x.at(v);
        s.line(f(px), f(a.bottom), f(px), f(a.bottom + kTick));
        if (x_labels) {
            const std::string label = tick_label(v, x_step);
            text_at(s, px - s.text_width(label) / 2, a.bottom + kTick + 1, label);
        }
    }
    const double y_step = tick_step(y.hi - y.lo, 5);
    for (const double v : ticks_between(y.lo, y.hi, y_step)) {
        const double py = y.at(v);
        s.line(f(a.left - kTick), f(py), f(a.left), f(py));
        const std::string label = tick_label(v, y_step);
        text_at(s, a.left - kTick - 3 - s.text_width(label), py - s.text_height(label) / 2, label);
    }
}

} // namespace teravine
