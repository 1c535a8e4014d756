// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/peak_figure.h"

#include "text/text_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace teravine::cli {
namespace {

constexpr double kPanelWidth = 460;
constexpr double kPanelHeight = 320;
constexpr double kPlotLeft = 50, kPlotTop = 40, kPlotWidth = 390, kPlotHeight = 240;

std::string num(double value) {
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value,
                                         std::chars_format::fixed, 1);
    return ec == std::errc() ? std::string(text, end) : "0";
}

struct Frame {
    double left, lo, hi, bottom, top;
    std::string x(double two_theta) const {
        return num(left + kPlotLeft + (two_theta - lo) / (hi - lo) * kPlotWidth);
    }
    std::string y(double counts) const {
        return num(kPlotTop + (top - counts) / (top - bottom) * kPlotHeight);
    }
};

void draw_panel(LineWriter& out, double left, const std::string& side, const Measured& m) {
    const PeakWidth& w = m.width;
    const auto& xs = m.pattern.two_theta;
    const auto& ys = m.pattern.counts;
    const auto background = [&](double at) {
        return w.background_lo +
               (w.background_hi - w.background_lo) * (at - w.range_lo) / (w.range_hi - w.range_lo);
    };
    const auto from = std::lower_bound(xs.begin(), xs.end(), w.range_lo) - xs.begin();
    const auto to = std::upper_bound(xs.begin(), xs.end(), w.range_hi) - xs.begin();
    double low = std::min(w.background_lo, w.background_hi);
    double high = low;
    for (auto i = from; i < to; ++i) {
        low = std::min(low, ys[static_cast<std::size_t>(i)]);
        high = std::max(high, ys[static_cast<std::size_t>(i)]);
    }
    const double pad = (high - low) * 0.05 + 1;
    const Frame f{left, w.range_lo, w.range_hi, low - pad, high + pad};

    out.line("<rect x=\"" + num(left + kPlotLeft) + "\" y=\"" + num(kPlotTop) + "\" width=\"" +
             num(kPlotWidth) + "\" height=\"" + num(kPlotHeight) +
             "\" fill=\"none\" stroke=\"#000\"/>");
    for (double tick = std::ceil(w.range_lo); tick <= w.range_hi; tick += 1) {
        out.line("<text x=\"" + f.x(tick) + "\" y=\"" + num(kPlotTop + kPlotHeight + 16) +
                 "\" text-anchor=\"middle\">" + std::to_string(static_cast<int>(tick)) + "</text>");
    }
    out.line("<text x=\"" + num(left + kPlotLeft + kPlotWidth / 2) + "\" y=\"" +
             num(kPlotTop + kPlotHeight + 34) + "\" text-anchor=\"middle\">2θ (°)</text>");
    out.line("<text x=\"" + num(left + kPlotLeft) + "\" y=\"" + num(kPlotTop - 12) + "\">" + side +
             " " + m.pattern.name + ": FWHM " + width_text(w.fwhm) + "° 2θ</text>");
    std::string points;
    for (auto i = from; i < to; ++i) {
        const auto k = static_cast<std::size_t>(i);
        points += f.x(xs[k]) + "," + f.y(ys[k]) + " ";
    }
    out.line("<polyline fill=\"none\" stroke=\"#444\" stroke-width=\"1\" points=\"" + points + "\"/>");
    out.line("<line stroke=\"#1f5fbf\" stroke-width=\"1.5\" x1=\"" + f.x(w.range_lo) + "\" y1=\"" +
             f.y(w.background_lo) + "\" x2=\"" + f.x(w.range_hi) + "\" y2=\"" +
             f.y(w.background_hi) + "\"/>");
    const double half = w.height / 2;
    out.line("<line stroke=\"#c02020\" stroke-width=\"1.5\" x1=\"" + f.x(w.left) + "\" y1=\"" +
             f.y(background(w.left) + half) + "\" x2=\"" + f.x(w.right) + "\" y2=\"" +
             f.y(background(w.right) + half) + "\"/>");
    for (const double at : {w.left, w.right}) {
        out.line("<circle r=\"4\" fill=\"none\" stroke=\"#c02020\" stroke-width=\"1.5\" cx=\"" +
                 f.x(at) + "\" cy=\"" + f.y(background(at) + half) + "\"/>");
    }
}

} // namespace

std::optional<std::string> write_peak_figure(const std::string& path,
                                             const std::vector<FigurePanel>& panels) {
    LineWriter out;
    if (const auto failure = out.open(path)) {
        return failure;
    }
    const double width = kPanelWidth * static_cast<double>(panels.size());
    out.line("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(width) + "\" height=\"" +
             num(kPanelHeight) + "\" viewBox=\"0 0 " + num(width) + " " + num(kPanelHeight) +
             "\" font-family=\"sans-serif\" font-size=\"13\">");
    out.line("<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>");
    for (std::size_t i = 0; i < panels.size(); ++i) {
        draw_panel(out, kPanelWidth * static_cast<double>(i), panels[i].first, *panels[i].second);
    }
    out.line("</svg>");
    return out.close();
}

} // namespace teravine::cli
