// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/thickness_drawing.h"

#include "diagram/figure_axes.h"
#include "diagram/peak_drawing.h"
#include "diagram/text_fit.h"
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
constexpr Colour kColourReplaced = 0xA0A0A0;
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

// The mean as read: a lower bound where the coefficients do not resolve it.
std::string mean_text(const ThicknessResult& r) {
    return (r.unresolved ? "at least " : "") + format_fixed(r.mean_layers, 2) + " layers";
}

void coefficient_plot(Surface& s, const ThicknessResult& r, const PlotArea& a) {
    const std::vector<double>& c = r.coefficients;
    const double last = std::max(static_cast<double>(c.size()), 2.0);
    const FigureAxis x{0, last, a.left, a.right};
    const FigureAxis y{-0.05, 1.05, a.bottom, a.top};
    // Coefficients of noise above the top are drawn at it.
    const auto at = [&](double value) { return y.at(std::min(value, 1.05)); };
    // The initial slope, from 1 at n = 0 to 0 at the mean, within the plot.
    const double reach = std::min(r.mean_layers, last);
    s.set_fore_color(kColourSlope);
    s.line(f(x.at(0)), f(y.at(1)), f(x.at(reach)), f(y.at(1 - reach / r.mean_layers)));
    std::vector<PlotPoint> points;
    for (std::size_t k = 0; k < c.size(); ++k) {
        points.push_back({x.at(static_cast<double>(k)), at(c[k])});
    }
    // The coefficients the hook correction replaced are its straight line, in grey; the
    // measured ones it replaced are grey rings.
    const auto hook = static_cast<std::ptrdiff_t>(std::min(r.hook_end, c.size() - 1));
    s.set_pen_width(2);
    s.set_fore_color(kColourReplaced);
    join_points(s, {points.begin(), points.begin() + hook + 1});
    s.set_fore_color(kColourCoefficients);
    join_points(s, {points.begin() + hook, points.end()});
    s.set_pen_width(1);
    if (c.size() <= kMarkedCoefficients) {
        for (auto p = points.begin() + hook; p != points.end(); ++p) {
            ring(s, *p);
        }
    }
    s.set_fore_color(kColourReplaced);
    for (std::size_t k = 0; k < r.hooked.size(); ++k) {
        ring(s, {x.at(static_cast<double>(k)), at(r.hooked[k])});
    }
    draw_axes_frame(s, a, x, y, true);
    axis_titles(s, a, "n, layers apart", "A(n) / A(0), corrected");
    s.set_fore_color(kColourSlope);
    const std::string slope =
        std::string(r.hook_end > 0 ? "hook-corrected slope" : "initial slope") + ": mean " +
        mean_text(r);
    text_at(s, a.right - s.text_width(slope) - 6, a.top + 6, slope);
    if (r.hook_end > 0) {
        s.set_fore_color(kColourReplaced);
        const bool falls = r.plain_mean_layers < static_cast<double>(c.size());
        const std::string measured = "grey rings as measured: slope " +
                                     (falls ? format_fixed(r.plain_mean_layers, 2) + " layers"
                                            : "beyond " + std::to_string(c.size()) + " layers");
        text_at(s, a.right - s.text_width(measured) - 6, a.top + 8 + s.text_height(slope),
                measured);
    }
}

// A bar from 0 to `share`: filled with one-unit lines half a unit apart, whose round ends
// stay within it and which cover each other's smoothed edges, or only outlined (hollow).
void bar(Surface& s, const FigureAxis& x, const FigureAxis& y, double n, double share, double width,
         bool hollow) {
    const double left = x.at(n) - width / 2, right = x.at(n) + width / 2;
    const double bottom = y.at(0), top = y.at(share);
    if (hollow) {
        s.box(f(left), f(top), f(right), f(bottom));
        return;
    }
    if (bottom - top < 1) {
        return; // under a unit high: nothing to see
    }
    for (double at = left + 0.5; at <= right - 0.5; at += 0.5) {
        s.line(f(at), f(bottom - 0.5), f(at), f(top + 0.5));
    }
}

void distribution_plot(Surface& s, const ThicknessResult& r, const PlotArea& a, bool legend) {
    const std::vector<double>& p = r.distribution.fraction;
    std::size_t shown = 1;
    for (double sum = 0; shown <= p.size() && sum < kShownShare; ++shown) {
        sum += p[shown - 1];
    }
    // The bars the series' end decides are all shown.
    if (r.end_layers > 0) {
        shown = std::max(shown, p.size());
    }
    const double last = std::max(static_cast<double>(shown), 5.0);
    const ThicknessDistribution fitted = lognormal_distribution(r.lognormal);
    double top = 0;
    for (std::size_t n = 1; n <= static_cast<std::size_t>(last); ++n) {
        top = std::max(top, n <= p.size() ? p[n - 1] : 0.0);
        top = std::max(top, n <= fitted.fraction.size() ? fitted.fraction[n - 1] : 0.0);
    }
    const FigureAxis x{0, last + 1, a.left, a.right};
    // Room above the tallest bar for the legends.
    const FigureAxis y{0, std::max(top * (r.end_layers > 0 ? 1.3 : 1.15), 1e-6), a.bottom, a.top};
    const double width = std::clamp(std::round((x.at(1) - x.at(0)) * 0.6), 1.0, 14.0);
    s.set_fore_color(kColourBars);
    s.set_pen_width(1);
    for (std::size_t n = 1; n <= p.size() && static_cast<double>(n) <= last; ++n) {
        if (p[n - 1] > 0) {
            bar(s, x, y, static_cast<double>(n), p[n - 1], width,
                r.end_layers > 0 && n >= r.end_layers);
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
    if (r.end_layers > 0) {
        s.set_fore_color(kColourReplaced);
        const std::string end = "hollow from " + std::to_string(r.end_layers) +
                                ": beyond the series' end, " + format_fixed(100 * r.end_share, 0) +
                                " %";
        text_at(s, a.right - s.text_width(end) - 6, a.top + 8 + s.text_height(text), end);
    }
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
    const double left = whole.left + 16, room = whole.right - 16 - left;
    const TextWidth width = [&](const std::string& t) { return s.text_width(t); };
    s.set_font_size(kFont + 1);
    s.set_font_bold(true);
    s.set_fore_color(kInk);
    const std::string title = "Thickness of the illite stacks: ";
    text_at(s, left, whole.top + 6, title + elided(figure.sample, room - width(title), width));
    s.set_font_bold(false);
    s.set_font_size(kFont);
    const std::string u = std::isfinite(r.u_mean_layers)
                              ? "u (counting) " + format_fixed(r.u_mean_layers, 2)
                              : std::string("no u: unresolved");
    const std::string readout =
        "mean " + mean_text(r) + ", " + u + ";   " + format_fixed(r.mean_nm(), 2) + " nm, d " +
        format_fixed(r.spacing, 3) + " Å" +
        (r.displacement != 0
             ? ", pattern moved by " + format_fixed(-r.displacement, 3) + "° as displaced"
             : std::string());
    text_at(s, left, whole.top + 26, readout);
    const std::string with = "instrument removed with the standard ";
    text_at(s, left, whole.top + 42,
            figure.standard.empty() ? std::string("no standard: the instrument's broadening is "
                                                  "left in")
                                    : with + elided(figure.standard, room - width(with), width));
    const double middle = (whole.left + whole.right) / 2;
    const double top = whole.top + 82;
    const double bottom = whole.bottom - 44;
    coefficient_plot(s, r, {whole.left + 70, top, middle - 30, bottom});
    distribution_plot(s, r, {middle + 70, top, whole.right - 24, bottom}, true);
    keep_text_style(kKeepRestore, style, s);
}

void draw_distribution_panel(Surface& s, const ThicknessResult* result, bool analysing,
                             double width, double height) {
    // Room around the plot's frame for the tick labels and the axes' titles.
    constexpr double kLeft = 52, kTop = 22, kRight = 10, kBottom = 34;
    if (result != nullptr) {
        draw_thickness_distribution(s, *result, {kLeft, kTop, width - kRight, height - kBottom},
                                    false);
        return;
    }
    TextStyle style;
    keep_text_style(kKeepStore, style, s);
    s.set_font_size(kFont);
    s.set_font_bold(false);
    const std::string text = analysing ? "Analysing…" : "No distribution";
    s.set_fore_color(kColourBars);
    text_at(s, (width - s.text_width(text)) / 2, (height - s.text_height(text)) / 2, text);
    keep_text_style(kKeepRestore, style, s);
}

} // namespace teravine
