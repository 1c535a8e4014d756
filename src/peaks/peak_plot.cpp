// SPDX-License-Identifier: GPL-3.0-or-later
#include "peaks/peak_plot.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace teravine {
namespace {

constexpr int kMaxXTicks = 8;
constexpr int kMaxCountTicks = 6;
constexpr int kCurveSteps = 48; // a straight line of counts drawn on a log scale

double count_scale(double counts, bool log) {
    return log ? std::log10(std::max(counts, 1.0)) : counts;
}

} // namespace

// 1, 2 or 5 times a power of ten: the smallest such step that gives at most `most` ticks.
double tick_step(double span, int most) {
    const double rough = span / most;
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (decade * factor >= rough) {
            return decade * factor;
        }
    }
    return decade * 10;
}

std::string tick_label(double value, double step) {
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    char text[64];
    // A tick at zero, however it was reached, has no sign.
    const double shown = std::abs(value) < step * 1e-9 ? 0.0 : value;
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, shown, std::chars_format::fixed, decimals);
    return ec == std::errc() ? std::string(text, end) : std::string();
}

std::vector<double> ticks_between(double lo, double hi, double step) {
    std::vector<double> out;
    for (double k = std::ceil(lo / step - 1e-9); k * step <= hi + step * 1e-9; k += 1) {
        out.push_back(k * step);
    }
    return out;
}

PeakView view_around(const Pattern& pattern, double range_lo, double range_hi, bool log_counts) {
    const double margin = (range_hi - range_lo) / 4;
    PeakView view{range_lo - margin, range_hi + margin, log_counts};
    if (!pattern.two_theta.empty()) {
        view.lo = std::min(range_lo, std::max(view.lo, pattern.two_theta.front()));
        view.hi = std::max(range_hi, std::min(view.hi, pattern.two_theta.back()));
    }
    return view;
}

double PeakPlot::x_of(double two_theta) const {
    return area.left + (two_theta - view.lo) / (view.hi - view.lo) * (area.right - area.left);
}

double PeakPlot::two_theta_at(double x) const {
    return view.lo + (x - area.left) / (area.right - area.left) * (view.hi - view.lo);
}

double PeakPlot::y_of(double counts_at) const {
    const double c = count_scale(counts_at, view.log_counts);
    const double y =
        area.bottom - (c - count_lo) / (count_hi - count_lo) * (area.bottom - area.top);
    return std::clamp(y, std::min(area.top, area.bottom), std::max(area.top, area.bottom));
}

namespace {

// The fit's curves over the fitted range, at the pattern's points; the residual in the
// lowest eighth of the plot, its largest swing filling half the band.
void lay_out_fit(PeakPlot& plot, const Pattern& pattern, const ProfileFit& fit) {
    const auto& xs = pattern.two_theta;
    const auto from =
        static_cast<std::size_t>(std::lower_bound(xs.begin(), xs.end(), fit.range_lo) - xs.begin());
    const auto to =
        static_cast<std::size_t>(std::upper_bound(xs.begin(), xs.end(), fit.range_hi) - xs.begin());
    plot.components.resize(fit.components.size());
    std::vector<double> rest;
    double swing = 0;
    for (std::size_t i = from; i < to; ++i) {
        const double at = xs[i];
        const double x = plot.x_of(at);
        const double model = fit.model_at(at);
        plot.fitted.push_back({x, plot.y_of(model)});
        for (std::size_t c = 0; c < fit.components.size(); ++c) {
            // Its Kα1 profile, the one whose width is reported and whose half height is marked.
            plot.components[c].push_back(
                {x,
                 plot.y_of(fit.background_at(at) + profile_value(fit.components[c].profile, at))});
        }
        rest.push_back(pattern.counts[i] - model);
        swing = std::max(swing, std::abs(rest.back()));
    }
    const double band = (plot.area.bottom - plot.area.top) / 8;
    plot.residual_zero = plot.area.bottom - band;
    const double scale = swing > 0 ? band / 2 / swing : 0;
    for (std::size_t i = from; i < to; ++i) {
        plot.residual.push_back({plot.x_of(xs[i]), plot.residual_zero - rest[i - from] * scale});
    }
}

} // namespace

PeakPlot lay_out_peak_plot(const Pattern& pattern, const std::optional<PeakWidth>& width,
                           double range_lo, double range_hi, const PeakView& view,
                           const PlotArea& area, const ProfileFit* fit) {
    PeakPlot plot;
    plot.area = area;
    plot.view = view;
    if (!(plot.view.hi > plot.view.lo)) {
        plot.view.hi = plot.view.lo + 1;
    }
    const bool log = view.log_counts;
    const auto& xs = pattern.two_theta;
    const auto& ys = pattern.counts;
    const auto from =
        static_cast<std::size_t>(std::lower_bound(xs.begin(), xs.end(), plot.view.lo) - xs.begin());
    const auto to =
        static_cast<std::size_t>(std::upper_bound(xs.begin(), xs.end(), plot.view.hi) - xs.begin());

    // The counts axis spans the counts of the range measured: a steep low-angle rise beside
    // it would flatten a small peak. Counts beyond the axis are drawn at its ends.
    const auto range_from =
        static_cast<std::size_t>(std::lower_bound(xs.begin(), xs.end(), range_lo) - xs.begin());
    const auto range_to =
        static_cast<std::size_t>(std::upper_bound(xs.begin(), xs.end(), range_hi) - xs.begin());
    double low = INFINITY, high = -INFINITY;
    for (std::size_t i = range_from; i < range_to; ++i) {
        low = std::min(low, count_scale(ys[i], log));
        high = std::max(high, count_scale(ys[i], log));
    }
    if (width) {
        for (const double b : {width->background_lo, width->background_hi}) {
            low = std::min(low, count_scale(b, log));
            high = std::max(high, count_scale(b, log));
        }
    }
    if (!(low <= high)) {
        low = 0, high = 1;
    }
    const double pad = (high - low) * 0.05 + (log ? 0.05 : 1.0);
    plot.count_lo = low - pad;
    plot.count_hi = high + pad;

    for (std::size_t i = from; i < to; ++i) {
        plot.trace.push_back({plot.x_of(xs[i]), plot.y_of(ys[i])});
    }
    plot.range_lo_x = plot.x_of(range_lo);
    plot.range_hi_x = plot.x_of(range_hi);

    if (width) {
        const PeakWidth& w = *width;
        const auto background = [&](double at) {
            return w.background_lo + (w.background_hi - w.background_lo) * (at - w.range_lo) /
                                         (w.range_hi - w.range_lo);
        };
        const auto straight = [&](double a, double b, double lift) {
            std::vector<PlotPoint> line;
            const int steps = log ? kCurveSteps : 1;
            for (int k = 0; k <= steps; ++k) {
                const double at = a + (b - a) * k / steps;
                line.push_back({plot.x_of(at), plot.y_of(background(at) + lift)});
            }
            return line;
        };
        const double half = w.height / 2;
        plot.background = straight(w.range_lo, w.range_hi, 0);
        plot.half_height = straight(w.left, w.right, half);
        for (const double at : {w.left, w.right}) {
            plot.crossings.push_back({plot.x_of(at), plot.y_of(background(at) + half)});
        }
    }

    if (fit != nullptr) {
        lay_out_fit(plot, pattern, *fit);
    }

    const double x_step = tick_step(plot.view.hi - plot.view.lo, kMaxXTicks);
    for (const double at : ticks_between(plot.view.lo, plot.view.hi, x_step)) {
        plot.x_ticks.push_back({plot.x_of(at), tick_label(at, x_step)});
    }
    if (log) {
        // Decades, with 2 and 5 between them when the axis spans less than two.
        const bool fine = plot.count_hi - plot.count_lo < 2;
        for (double decade = std::floor(plot.count_lo); decade <= plot.count_hi; decade += 1) {
            for (const double factor :
                 fine ? std::vector<double>{1, 2, 5} : std::vector<double>{1}) {
                const double counts = std::pow(10.0, decade) * factor;
                const double c = std::log10(counts);
                if (counts >= 1 && c >= plot.count_lo && c <= plot.count_hi) {
                    plot.count_ticks.push_back({plot.y_of(counts), tick_label(counts, 1)});
                }
            }
        }
    } else {
        const double step = tick_step(plot.count_hi - plot.count_lo, kMaxCountTicks);
        for (const double at : ticks_between(plot.count_lo, plot.count_hi, step)) {
            plot.count_ticks.push_back({plot.y_of(at), tick_label(at, step)});
        }
    }
    return plot;
}

} // namespace teravine
