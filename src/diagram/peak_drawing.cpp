// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/peak_drawing.h"

#include "diagram/figure_axes.h"
#include "diagram/text_style.h"

#include <cmath>

namespace teravine {
namespace {

constexpr double kTickLength = 4;
constexpr double kRingRadius = 4;
constexpr int kRingSteps = 16;
constexpr float kFontSize = 9;

float f(double value) {
    return static_cast<float>(value);
}

} // namespace

void ring(Surface& s, PlotPoint at) {
    s.set_current(f(at.x + kRingRadius), f(at.y));
    for (int k = 1; k <= kRingSteps; ++k) {
        const double a = 2 * M_PI * k / kRingSteps;
        s.line_to(f(at.x + kRingRadius * std::cos(a)), f(at.y + kRingRadius * std::sin(a)));
    }
}

std::string peak_readout(const PeakWidth& w) {
    return "position " + width_text(w.position) + "°   FWHM " + width_text(w.fwhm) +
           "°   breadth " + width_text(w.breadth) + "°   u(FWHM) " + width_text(w.u_fwhm) + "°" +
           (w.quality == "ok" ? "" : "   doubtful: " + w.quality);
}

PeakPanel measured_panel(std::string title, const Pattern& pattern,
                         const Outcome<PeakWidth>& measured, const PeakRange& range,
                         bool log_counts) {
    PeakPanel panel;
    panel.title = std::move(title);
    panel.pattern = &pattern;
    panel.log_counts = log_counts;
    const PeakRange shown = range_on_pattern_scale(pattern, range).value_or(range);
    panel.range_lo = shown.lo;
    panel.range_hi = shown.hi;
    if (measured) {
        panel.width = *measured;
        panel.readout = peak_readout(*measured);
    } else {
        panel.problem = measured.error();
    }
    return panel;
}

void draw_peak_plot(Surface& s, const PeakPlot& plot) {
    TextStyle style;
    keep_text_style(kKeepStore, style, s);
    const PlotArea& a = plot.area;
    s.set_font_size(kFontSize);
    s.set_font_bold(false);
    s.set_pen_width(1);
    s.set_fore_color(0x000000);
    s.box(f(a.left), f(a.top), f(a.right), f(a.bottom));
    for (const PlotTick& t : plot.x_ticks) {
        s.line(f(t.at), f(a.bottom), f(t.at), f(a.bottom + kTickLength));
        text_at(s, t.at - s.text_width(t.label) / 2, a.bottom + kTickLength + 1, t.label);
    }
    for (const PlotTick& t : plot.count_ticks) {
        s.line(f(a.left - kTickLength), f(t.at), f(a.left), f(t.at));
        text_at(s, a.left - kTickLength - 2 - s.text_width(t.label),
                t.at - s.text_height(t.label) / 2, t.label);
    }
    const std::string axis = plot.view.log_counts ? "2θ (°)   counts, log scale" : "2θ (°)";
    text_at(s, (a.left + a.right - s.text_width(axis)) / 2,
            a.bottom + kTickLength + 2 + s.text_height("0"), axis);

    s.set_fore_color(kColourRangeEnd);
    for (const double x : {plot.range_lo_x, plot.range_hi_x}) {
        s.line(f(x), f(a.top), f(x), f(a.bottom));
    }
    s.set_fore_color(kColourCounts);
    join_points(s, plot.trace);
    s.set_pen_width(2);
    s.set_fore_color(kColourBackground);
    join_points(s, plot.background);
    s.set_fore_color(kColourHalfHeight);
    join_points(s, plot.half_height);
    for (const PlotPoint& at : plot.crossings) {
        ring(s, at);
    }
    s.set_pen_width(1);
    if (!plot.fitted.empty()) {
        s.set_fore_color(kColourComponent);
        for (const auto& component : plot.components) {
            join_points(s, component);
        }
        s.set_fore_color(kColourResidual);
        s.line(f(plot.fitted.front().x), f(plot.residual_zero), f(plot.fitted.back().x),
               f(plot.residual_zero));
        join_points(s, plot.residual);
        s.set_pen_width(2);
        s.set_fore_color(kColourFit);
        join_points(s, plot.fitted);
        s.set_pen_width(1);
    }
    keep_text_style(kKeepRestore, style, s);
}

PlotArea panel_plot_area(const PlotArea& whole) {
    return {whole.left + 52, whole.top + 26, whole.right - 14, whole.bottom - 78};
}

PeakPlot draw_peak_panel(Surface& s, const PeakPanel& panel, const PlotArea& whole) {
    TextStyle style;
    keep_text_style(kKeepStore, style, s);
    s.set_font_size(kFontSize + 1);
    s.set_font_bold(true);
    s.set_fore_color(0x000000);
    const PlotArea area = panel_plot_area(whole);
    text_at(s, area.left, whole.top + 4, panel.title);
    s.set_font_bold(false);
    PeakPlot plot;
    plot.area = area;
    if (panel.pattern != nullptr) {
        PeakView view = panel.view ? *panel.view
                                   : view_around(*panel.pattern, panel.range_lo, panel.range_hi,
                                                 panel.log_counts);
        // No peak in the range: the whole pattern, the range marked in it, shows where the
        // peak lies.
        const std::vector<double>& angles = panel.pattern->two_theta;
        if (!panel.view && !panel.width && !angles.empty()) {
            view.lo = std::min(view.lo, angles.front());
            view.hi = std::max(view.hi, angles.back());
        }
        plot = lay_out_peak_plot(*panel.pattern, panel.width, panel.range_lo, panel.range_hi, view,
                                 area, panel.fit ? &*panel.fit : nullptr);
        draw_peak_plot(s, plot);
    } else {
        s.box(f(area.left), f(area.top), f(area.right), f(area.bottom));
    }
    s.set_font_size(kFontSize + 1);
    const bool failed = !panel.problem.empty();
    s.set_fore_color(failed ? kColourHalfHeight : 0x000000);
    // The read-out's parts (separated by three blanks) go on as many lines as the panel's
    // width needs, so the last panel's read-out is never cut at the page's edge.
    const std::string& text = failed ? panel.problem : panel.readout;
    const double room = whole.right - area.left - 4;
    double y = area.bottom + 34;
    std::string line;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t gap = text.find("   ", from);
        const std::string part =
            text.substr(from, gap == std::string::npos ? std::string::npos : gap - from);
        const std::string longer = line.empty() ? part : line + "   " + part;
        if (!line.empty() && s.text_width(longer) > room) {
            text_at(s, area.left, y, line);
            y += s.text_height(line) * 1.15;
            line = part;
        } else {
            line = longer;
        }
        if (gap == std::string::npos) {
            break;
        }
        from = gap + 3;
    }
    text_at(s, area.left, y, line);
    keep_text_style(kKeepRestore, style, s);
    return plot;
}

void draw_peak_figure(Surface& s, const std::vector<PeakPanel>& panels) {
    s.clear();
    for (std::size_t i = 0; i < panels.size(); ++i) {
        const double left = kPeakPanelWidth * static_cast<double>(i);
        draw_peak_panel(s, panels[i], {left, 0, left + kPeakPanelWidth, kPeakPanelHeight});
    }
}

} // namespace teravine
