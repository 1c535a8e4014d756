// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/thickness_drawing.h"

#include "diagram/figure_axes.h"
#include "diagram/peak_drawing.h"
#include "diagram/text_style.h"
#include "text/number_text.h"

#include <algorithm>
#include <cmath>

namespace teravine {
namespace {

constexpr Colour kInk = 0x000000;
constexpr Colour kColourCoefficients = 0x903010; // colours as 0xBBGGRR
constexpr Colour kColourSlope = 0x2020C0;
constexpr Colour kColourBars = 0x909090;
constexpr Colour kColourLognormal = 0x900090;
constexpr float kFont = 9;
// Coefficients up to this many are marked each with a ring.
constexpr std::size_t kMarkedCoefficients = 40;
// The distribution is shown up to where this share of the stacks is reached.
constexpr double kShownShare = 0.999;

float f(double value) {
    return static_cast<float>(value);
}

void axis_titles(Surface& s, const PlotArea& a, const std::string& x_title,
                 const std::string& y_title) {
    s.set_fore_color(kInk);
    text_at(s, (a.left + a.right - s.text_width(x_title)) / 2, a.bottom + 6 + s.text_height("0"),
            x_title);
    text_at(s, a.left - 50, a.top - 18, y_title);
}

void coefficient_plot(Surface& s, const ThicknessResult& r, const PlotArea& a) {
    const std::vector<double>& c = r.coefficients;
    const double last = std::max(static_cast<double>(c.size()), 2.0);
    const FigureAxis x{0, last, a.left, a.right};
    const FigureAxis y{-0.05, 1.05, a.bottom, a.top};
    // The initial slope, from 1 at n = 0 to 0 at the mean, within the plot.
    const double reach = std::min(r.mean_layers, last);
    s.set_fore_color(kColourSlope);
    s.line(f(x.at(0)), f(y.at(1)), f(x.at(reach)), f(y.at(1 - reach / r.mean_layers)));
    std::vector<PlotPoint> points;
    for (std::size_t k = 0; k < c.size(); ++k) {
        points.push_back({x.at(static_cast<double>(k)), y.at(c[k])});
    }
    s.set_fore_color(kColourCoefficients);
    s.set_pen_width(2);
    join_points(s, points);
    s.set_pen_width(1);
    if (c.size() <= kMarkedCoefficients) {
        for (const PlotPoint& p : points) {
            ring(s, p);
        }
    }
    draw_axes_frame(s, a, x, y, true);
    axis_titles(s, a, "n, layers apart", "A(n) / A(0), corrected");
    s.set_fore_color(kColourSlope);
    const std::string slope = "initial slope: mean " + format_fixed(r.mean_layers, 2) + " layers";
    text_at(s, a.right - s.text_width(slope) - 6, a.top + 6, slope);
}

void distribution_plot(Surface& s, const ThicknessResult& r, const PlotArea& a, bool legend) {
    const std::vector<double>& p = r.distribution.fraction;
    std::size_t shown = 1;
    for (double sum = 0; shown <= p.size() && sum < kShownShare; ++shown) {
        sum += p[shown - 1];
    }
    const double last = std::max(static_cast<double>(shown), 5.0);
    const ThicknessDistribution fitted = lognormal_distribution(r.lognormal);
    double top = 0;
    for (std::size_t n = 1; n <= static_cast<std::size_t>(last); ++n) {
        top = std::max(top, n <= p.size() ? p[n - 1] : 0.0);
        top = std::max(top, n <= fitted.fraction.size() ? fitted.fraction[n - 1] : 0.0);
    }
    const FigureAxis x{0, last + 1, a.left, a.right};
    const FigureAxis y{0, std::max(top * 1.1, 1e-6), a.bottom, a.top};
    const double spacing = x.at(1) - x.at(0);
    s.set_fore_color(kColourBars);
    s.set_pen_width(static_cast<int>(std::clamp(std::round(spacing * 0.6), 1.0, 14.0)));
    for (std::size_t n = 1; n <= p.size() && static_cast<double>(n) <= last; ++n) {
        if (p[n - 1] > 0) {
            const double px = x.at(static_cast<double>(n));
            s.line(f(px), f(y.at(0)), f(px), f(y.at(p[n - 1])));
        }
    }
    std::vector<PlotPoint> curve;
    for (std::size_t n = 1; static_cast<double>(n) <= last; ++n) {
        curve.push_back({x.at(static_cast<double>(n)),
                         y.at(n <= fitted.fraction.size() ? fitted.fraction[n - 1] : 0.0)});
    }
    s.set_fore_color(kColourLognormal);
    s.set_pen_width(2);
    join_points(s, curve);
    s.set_pen_width(1);
    draw_axes_frame(s, a, x, y, true);
    axis_titles(s, a, "N, layers a stack", "share of the stacks");
    if (!legend) {
        return;
    }
    s.set_fore_color(kColourLognormal);
    const std::string text = "lognormal α " + format_fixed(r.lognormal.alpha, 3) + ", β² " +
                             format_fixed(r.lognormal.beta2, 3);
    text_at(s, a.right - s.text_width(text) - 6, a.top + 6, text);
}

} // namespace

void draw_thickness_distribution(Surface& s, const ThicknessResult& result, const PlotArea& plot,
                                 bool legend) {
    TextStyle style;
    keep_text_style(kKeepStore, style, s);
    s.set_font_size(kFont);
    s.set_font_bold(false);
    distribution_plot(s, result, plot, legend);
    keep_text_style(kKeepRestore, style, s);
}

void draw_thickness_figure(Surface& s, const ThicknessFigure& figure, const PlotArea& whole) {
    const ThicknessResult& r = figure.result;
    TextStyle style;
    keep_text_style(kKeepStore, style, s);
    s.set_font_size(kFont + 1);
    s.set_font_bold(true);
    s.set_fore_color(kInk);
    text_at(s, whole.left + 16, whole.top + 6, "Thickness of the illite stacks: " + figure.sample);
    s.set_font_bold(false);
    s.set_font_size(kFont);
    const std::string readout =
        "mean " + format_fixed(r.mean_layers, 2) + " layers (u " +
        format_fixed(r.u_mean_layers, 2) + "), " + format_fixed(r.mean_nm(), 2) + " nm, d " +
        format_fixed(r.spacing, 3) + " Å;   " +
        (figure.standard.empty()
             ? std::string("no standard: the instrument's broadening is left in")
             : "instrument removed with the standard " + figure.standard);
    text_at(s, whole.left + 16, whole.top + 26, readout);
    const double middle = (whole.left + whole.right) / 2;
    const double top = whole.top + 74;
    const double bottom = whole.bottom - 44;
    coefficient_plot(s, r, {whole.left + 70, top, middle - 30, bottom});
    distribution_plot(s, r, {middle + 70, top, whole.right - 24, bottom}, true);
    keep_text_style(kKeepRestore, style, s);
}

} // namespace teravine
