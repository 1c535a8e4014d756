// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/cis_drawing.h"

#include "diagram/figure_axes.h"
#include "diagram/figure_size.h"
#include "diagram/peak_drawing.h"
#include "diagram/text_style.h"
#include "standards/calibration_method.h"
#include "text/number_text.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace teravine {
namespace {

constexpr Colour kInk = 0x000000;
constexpr Colour kColourLine = 0x2020C0;     // the fitted line
constexpr Colour kColourStandard = 0x903010; // the standards
constexpr Colour kColourLimit = 0x30A030;    // the zone limits
constexpr Colour kColourLeftOut = 0x909090;  // leave-one-out residuals
constexpr double kTick = 4;                  // the frame's ticks' length
constexpr double kMark = 4;                  // half the size of a standard's mark
constexpr float kFont = 9;

float f(double value) {
    return static_cast<float>(value);
}

void cross(Surface& s, double x, double y) {
    s.line(f(x - kMark), f(y - kMark), f(x + kMark), f(y + kMark));
    s.line(f(x - kMark), f(y + kMark), f(x + kMark), f(y - kMark));
}

// The line over the plot's x span, its ends kept inside the y span.
void fitted_line(Surface& s, const CisCalibration& c, const FigureAxis& x, const FigureAxis& y) {
    double x1 = x.lo;
    double x2 = x.hi;
    const auto x_at = [&](double value) { return (value - c.intercept) / c.slope; };
    if (c.slope != 0) {
        const double a1 = x_at(y.lo);
        const double a2 = x_at(y.hi);
        x1 = std::max(x1, std::min(a1, a2));
        x2 = std::min(x2, std::max(a1, a2));
    }
    if (x1 >= x2) {
        return;
    }
    s.set_fore_color(kColourLine);
    s.set_pen_width(2);
    s.line(f(x.at(x1)), f(y.at(c.intercept + c.slope * x1)), f(x.at(x2)),
           f(y.at(c.intercept + c.slope * x2)));
    s.set_pen_width(1);
}

// The text in lines no wider than `width`, broken at blanks (a word wider than that stands
// alone on its line).
std::vector<std::string> wrapped(Surface& s, const std::string& text, double width) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto blank = std::min(text.find(' ', start), text.size());
        const std::string word = text.substr(start, blank - start);
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && s.text_width(longer) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
        start = blank + 1;
    }
    lines.push_back(line);
    return lines;
}

std::string index_title(CisIndex index) {
    return index == CisIndex::kubler ? "Kübler index (illite 10 Å)" : "Árkai index (chlorite 7 Å)";
}

} // namespace

void draw_cis_figure(Surface& s, const CisCalibration& c, const std::optional<ZoneLimits>& chosen,
                     const PlotArea& whole) {
    const std::optional<ZoneLimits> limits = judging_limits(c.index, chosen);
    std::vector<double> limit_values;
    if (limits) {
        limit_values = {limits->lower, limits->upper};
    }
    TextStyle style;
    keep_text_style(kKeepStore, style, s);
    s.set_font_size(kFont + 1);
    s.set_font_bold(true);
    s.set_fore_color(kInk);
    const double left = whole.left + 64;
    const double right = whole.right - 24;
    const double height = whole.bottom - whole.top;
    text_at(s, left, whole.top + 6, "CIS calibration: " + index_title(c.index));
    s.set_font_bold(false);
    s.set_font_size(kFont);
    const PlotArea main{left, whole.top + 48, right, whole.top + height * 0.64};
    const PlotArea below{left, main.bottom + 34, right, whole.bottom - 44};

    double x_lo = 1e300, x_hi = -1e300, y_lo = 1e300, y_hi = -1e300, r_max = 0;
    for (std::size_t i = 0; i < c.standards.size(); ++i) {
        const CisStandard& st = c.standards[i];
        x_lo = std::min(x_lo, st.fwhm);
        x_hi = std::max(x_hi, st.fwhm);
        y_lo = std::min(y_lo, st.cis);
        y_hi = std::max(y_hi, st.cis);
        if (i < c.residuals.size()) {
            r_max = std::max(r_max, std::abs(c.residuals[i]));
        }
        if (i < c.loo_residuals.size()) {
            r_max = std::max(r_max, std::abs(c.loo_residuals[i]));
        }
    }
    if (c.standards.empty()) {
        x_lo = 0.2, x_hi = 0.8, y_lo = 0.2, y_hi = 0.8;
    }
    for (const double limit : limit_values) {
        y_lo = std::min(y_lo, limit);
        y_hi = std::max(y_hi, limit);
    }
    const auto [xl, xh] = padded(x_lo, x_hi, 0.08, 0.05);
    const auto [yl, yh] = padded(y_lo, y_hi, 0.08, 0.05);
    const FigureAxis x{xl, xh, main.left, main.right};
    const FigureAxis y{yl, yh, main.bottom, main.top};
    const double r_span = std::max(r_max * 1.25, 0.002);
    const FigureAxis r{-r_span, r_span, below.bottom, below.top};

    // The zone limits across the plot, each with its value.
    s.set_fore_color(kColourLimit);
    for (const double limit : limit_values) {
        const double py = y.at(limit);
        s.line(f(main.left), f(py), f(main.right), f(py));
        const std::string label = format_fixed(limit, 2);
        text_at(s, main.right - s.text_width(label) - 3, py - s.text_height(label) - 1, label);
    }
    fitted_line(s, c, x, y);
    s.set_fore_color(kColourStandard);
    for (const CisStandard& st : c.standards) {
        const double px = x.at(st.fwhm);
        const double py = y.at(st.cis);
        ring(s, {px, py});
        if (st.u_fwhm > 0) { // the width's standard uncertainty, as a bar
            s.line(f(x.at(st.fwhm - st.u_fwhm)), f(py), f(x.at(st.fwhm + st.u_fwhm)), f(py));
        }
        // The name right of its mark, or left of it where the frame would cut it.
        const double name_x = px + kMark + 3 + s.text_width(st.name) < main.right - 2
                                  ? px + kMark + 3
                                  : px - kMark - 3 - s.text_width(st.name);
        text_at(s, name_x, py + 2, st.name);
    }
    draw_axes_frame(s, main, x, y, false);
    s.set_fore_color(kInk);
    text_at(s, main.left - 60, main.top - 18, "CIS value (°Δ2θ)");
    // The equation, r, s, the method and the limits, in the top-left corner.
    std::vector<std::string> lines{
        "CIS = " + format_fixed(c.intercept, 4) + " (u " + format_fixed(c.u_intercept, 4) + ")" +
            (c.slope < 0 ? " − " : " + ") + format_fixed(std::abs(c.slope), 4) + " (u " +
            format_fixed(c.u_slope, 4) + ") · FWHM",
        "r = " + format_fixed(c.r, 4) + "   s = " + format_fixed(c.s, 4) +
            "   n = " + std::to_string(c.n) + "   (u: 1σ, " +
            std::to_string(cis_degrees_of_freedom(c)) + " degrees of freedom)",
        "width by " + (c.method.empty() ? std::string("an unstated method") : c.method),
        limits ? limits_text(*limits)
               : std::string("no zone limits: none are published for the Árkai index")};
    if (const auto outside = outside_cis_guidelines(c.method)) {
        lines.push_back("outside the CIS guidelines: " + *outside);
    }
    double line_y = main.top + 5;
    for (const std::string& text : lines) {
        for (const std::string& line : wrapped(s, text, main.right - main.left - 12)) {
            text_at(s, main.left + 6, line_y, line);
            line_y += s.text_height(line) * 1.2;
        }
    }

    // The residuals beneath: each standard's, and the left-out one's in grey.
    s.set_fore_color(kColourLeftOut);
    s.line(f(below.left), f(r.at(0)), f(below.right), f(r.at(0)));
    for (std::size_t i = 0; i < c.standards.size(); ++i) {
        const double px = x.at(c.standards[i].fwhm);
        if (i < c.loo_residuals.size()) {
            s.set_fore_color(kColourLeftOut);
            cross(s, px, r.at(c.loo_residuals[i]));
        }
        if (i < c.residuals.size()) {
            s.set_fore_color(kColourStandard);
            ring(s, {px, r.at(c.residuals[i])});
        }
    }
    draw_axes_frame(s, below, x, r, true);
    s.set_fore_color(kInk);
    text_at(s, below.left - 60, below.top - 18,
            "Residual, CIS value − fitted (°Δ2θ):   ○ fitted on all   × left out");
    const std::string x_title = "FWHM measured by the laboratory (°Δ2θ)";
    text_at(s, (below.left + below.right - s.text_width(x_title)) / 2,
            below.bottom + kTick + 3 + s.text_height("0"), x_title);
    keep_text_style(kKeepRestore, style, s);
}

} // namespace teravine
