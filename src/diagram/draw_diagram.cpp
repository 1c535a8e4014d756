// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/draw_diagram.h"

#include "diagram/diagram_labels.h"
#include "diagram/polyline.h"
#include "diagram/text_style.h"
#include "text/number_text.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <unordered_set>
#include <vector>

namespace teravine {
namespace {

constexpr float kAxisFontSize = 10;
constexpr float kGridFontSize = 10;
constexpr float kSampleFontSize = 8;
constexpr int kGridPenWidth = 2;
constexpr int kSamplePenWidth = 5;
const std::string kFont = "Arial";

void set_grid_text(Surface& surface) {
    surface.set_font_name(kFont);
    surface.set_font_bold(false);
    surface.set_font_size(kGridFontSize);
}

// A line's label at the line's end, where the drawing left the current position.
void label_line_end(Surface& surface, DiagramLabels& labels, const std::string& text) {
    labels.write(surface, text, surface.current_x(), surface.current_y(), false);
}

// Moves the current text position by (dx, dy) in surface units and prints text there, the
// label of the line ending at the position before the move.
void print_offset(Surface& surface, DiagramLabels& labels, float dx, float dy,
                  const std::string& text) {
    const float x = surface.current_x();
    const float y = surface.current_y();
    surface.set_current(x + dx, y + dy);
    labels.write(surface, text, x, y, false);
}

// The window draws every k curve over all its 110 points, beyond the frame of R3; a
// figure ends them at the frame's right edge.
void draw_k_grid(Surface& surface, const PlotWindow& plot, const Calibration& cal,
                 DiagramLabels& labels, bool figure) {
    const int points = figure
                           ? std::min(kCurvePoints, static_cast<int>(std::lround(plot.xmax * 100)))
                           : kCurvePoints;
    for (int i = 1; i <= 5; ++i) {
        draw_polyline(1, surface, plot, cal.k_curve, i, points, kColourK);
        surface.set_fore_color(kColourK);
        label_line_end(surface, labels, " k" + number_text(cal.k_row[static_cast<std::size_t>(i)]));
    }
}

void draw_n_grid(Surface& surface, const PlotWindow& plot, const ConstLines& grids,
                 DiagramLabels& labels) {
    surface.set_pen_width(kGridPenWidth);
    set_grid_text(surface);
    surface.set_fore_color(kColourN);
    for (std::size_t i = 2; i <= 10; ++i) {
        // A line of no points is neither drawn nor labelled (its label would land
        // wherever the previous drawing left the text position).
        if (draw_polyline(1, surface, plot, grids.n[i], grids.n[i].count, kColourN)) {
            label_line_end(surface, labels, "N=" + number_text(static_cast<int>(grids.val_n[i])));
        }
    }
}

void draw_s_grid(Surface& surface, const PlotWindow& plot, const ConstLines& grids,
                 DiagramLabels& labels) {
    surface.set_pen_width(kGridPenWidth);
    set_grid_text(surface);
    for (std::size_t i = 2; i <= 12; i += 2) {
        const Line& line = grids.s[i];
        draw_polyline(1, surface, plot, line, line.count, kColourS);
        if (line.count > 1) {
            surface.set_fore_color(kColourS);
            const float pct = grids.val_s[i] * 100;
            print_offset(surface, labels, surface.text_width("mystr"), -surface.text_height("H"),
                         "%S=" + format_fixed(pct, 2));
        }
    }
}

void draw_fp_grid(Surface& surface, const PlotWindow& plot, const ConstLines& grids,
                  DiagramLabels& labels) {
    surface.set_pen_width(kGridPenWidth);
    set_grid_text(surface);
    for (std::size_t i = 1; i <= 14; ++i) {
        const Line& line = grids.fp[i];
        draw_polyline(1, surface, plot, line, line.count, kColourFp);
        if (line.count > 1) {
            surface.set_fore_color(kColourFp);
            const float nfp = 1 / grids.val_fp[i];
            print_offset(surface, labels, -surface.text_width("mystr"), -surface.text_height("H"),
                         "Nfp=" + format_two_digits(nfp));
        }
    }
}

} // namespace

void draw_identical_line(Surface& surface, const PlotWindow& plot, const PlacedSample& sample,
                         IdenticalLine which) {
    switch (which) {
    case IdenticalLine::n:
        draw_polyline(1, surface, plot, sample.line_n, sample.line_n.count, kColourN);
        break;
    case IdenticalLine::k:
        draw_polyline(1, surface, plot, sample.line_k, kCurvePoints, kColourK);
        break;
    case IdenticalLine::s:
        draw_polyline(1, surface, plot, sample.line_s, sample.line_s.count, kColourS);
        break;
    case IdenticalLine::fp:
        draw_polyline(1, surface, plot, sample.line_fp, sample.line_fp.count, kColourFp);
        break;
    }
}

void draw_identical_lines(Surface& surface, const PlotWindow& plot, const PlacedSample& sample,
                          IdenticalSwitches on) {
    if (on.n) {
        draw_identical_line(surface, plot, sample, IdenticalLine::n);
    }
    if (on.k) {
        draw_identical_line(surface, plot, sample, IdenticalLine::k);
    }
    if (on.s) {
        draw_identical_line(surface, plot, sample, IdenticalLine::s);
    }
    if (on.fp) {
        draw_identical_line(surface, plot, sample, IdenticalLine::fp);
    }
}

std::optional<std::string> sample_label_text(const PlacedSample& sample, std::size_t index,
                                             SampleLabels labels) {
    switch (labels) {
    case SampleLabels::label:
        return sample.record.label;
    case SampleLabels::name:
        return sample.origin.name;
    case SampleLabels::number:
        return std::to_string(index + 1);
    case SampleLabels::none:
        break;
    }
    return std::nullopt;
}

void draw_sample(Surface& surface, const PlotWindow& plot, const PlacedSample& sample,
                 IdenticalSwitches on, const std::optional<std::string>& label,
                 DiagramLabels& labels) {
    surface.set_pen_width(kSamplePenWidth);
    const float x = x_to_surface(sample.record.iw_ad, plot.xmin, plot.xorig, plot.xunit);
    const float y = y_to_surface(sample.record.iw_eg, plot.ymin, plot.yorig, plot.yunit);
    surface.point(x, y);
    if (label) {
        place_sample_label(surface, plot, *label);
        labels.write(surface, *label, x, y, true);
    }
    surface.set_pen_width(1);
    draw_identical_lines(surface, plot, sample, on);
}

void place_sample_label(Surface& surface, const PlotWindow& plot, const std::string& label) {
    const float x = surface.current_x();
    const float y = surface.current_y();
    if (x <= plot.right && y >= plot.top) {
        return; // the written place, whatever the label's length
    }
    // A blank's width clear of the frame's edge, which would take a last letter's stroke.
    const float width = surface.text_width(label + " ");
    surface.set_current(std::max(std::min(x, plot.right - width), plot.left),
                        std::max(y, plot.top));
}

namespace {

// A line of constant N, %S or Nfp is a function of its value under the Reichweite, and
// samples share values; the key also holds the line's count and ends, so that only lines
// that draw the very same pixels share one.
struct LineKey {
    std::uint32_t value = 0;
    int count = 0;
    LinePoint first, last;
    bool operator==(const LineKey& o) const {
        return value == o.value && count == o.count && first.ad == o.first.ad &&
               first.eg == o.first.eg && last.ad == o.last.ad && last.eg == o.last.eg;
    }
};

struct LineKeyHash {
    std::size_t operator()(const LineKey& k) const {
        std::size_t h = std::hash<std::uint32_t>{}(k.value);
        for (const float f : {k.first.ad, k.first.eg, k.last.ad, k.last.eg}) {
            h = h * 1000003u ^ std::hash<float>{}(f);
        }
        return h ^ static_cast<std::size_t>(k.count);
    }
};

template <class Value> LineKey key_of(Value value, const Line& line) {
    LineKey key;
    if constexpr (std::is_same_v<Value, float>) {
        key.value = std::bit_cast<std::uint32_t>(value);
    } else {
        key.value = static_cast<std::uint32_t>(value);
    }
    key.count = std::min(static_cast<int>(line.count), static_cast<int>(line.points.size()));
    if (key.count > 0) {
        key.first = line.points.front();
        key.last = line.points[static_cast<std::size_t>(key.count - 1)];
    }
    return key;
}

// What each sample draws of its checked N, %S and Nfp lines: on a surface that
// overwrites lines, a line that a later sample draws again is hidden by that later
// drawing, whatever lies between, and is left out here.
std::vector<IdenticalSwitches> lines_to_draw(const SampleList& samples, IdenticalSwitches on,
                                             bool overwrites) {
    std::vector<IdenticalSwitches> shown(samples.size(), on);
    if (!overwrites || !(on.n || on.s || on.fp)) {
        return shown;
    }
    std::unordered_set<LineKey, LineKeyHash> later_n, later_s, later_fp;
    const auto drawn_later = [](auto& later, const LineKey& key) {
        return !later.insert(key).second;
    };
    for (std::size_t i = samples.size(); i-- > 0;) {
        const PlacedSample& p = samples[i];
        IdenticalSwitches& s = shown[i];
        s.n = on.n && !drawn_later(later_n, key_of(p.n_of, p.line_n));
        s.s = on.s && !drawn_later(later_s, key_of(p.s_of, p.line_s));
        s.fp = on.fp && !drawn_later(later_fp, key_of(p.fp_of, p.line_fp));
    }
    return shown;
}

} // namespace

void draw_uncertainty_outline(Surface& surface, const PlotWindow& plot,
                              const PlacedSample& sample) {
    if (!sample.uncertainty) {
        return;
    }
    const Colour colour = surface.fore_color();
    const int pen = surface.pen_width();
    surface.set_pen_width(1);
    const Line& outline = sample.uncertainty->outline;
    draw_polyline(1, surface, plot, outline, outline.count, kColourSample);
    surface.set_fore_color(colour);
    surface.set_pen_width(pen);
}

namespace {

// shown: what each sample draws of its checked identical lines.
void draw_whole_diagram(Surface& surface, PlotWindow& plot, AxisCaptions& captions,
                        const DiagramContent& content,
                        const std::vector<IdenticalSwitches>& shown) {
    const int kept_pen = surface.pen_width();
    TextStyle style;
    keep_text_style(kKeepStore, style, surface);

    draw_axes(surface, kAxisFontSize, kFont, captions, plot);
    DiagramLabels labels(content.figure.has_value());

    // Each family keeps the pen width in force before it and puts it back.
    const auto with_pen_kept = [&](auto&& draw_family) {
        const int pen = surface.pen_width();
        draw_family();
        surface.set_pen_width(pen);
    };
    if (content.grids_on.k) {
        draw_k_grid(surface, plot, content.cal, labels, content.figure.has_value());
    }
    if (content.grids_on.n) {
        with_pen_kept([&] { draw_n_grid(surface, plot, content.grids, labels); });
    }
    if (content.grids_on.s) {
        with_pen_kept([&] { draw_s_grid(surface, plot, content.grids, labels); });
    }
    if (content.grids_on.fp) {
        with_pen_kept([&] { draw_fp_grid(surface, plot, content.grids, labels); });
    }

    // Under the dots, so that every dot stays whole.
    if (content.ellipses) {
        for (const PlacedSample& sample : content.samples) {
            draw_uncertainty_outline(surface, plot, sample);
        }
    }
    surface.set_fore_color(kColourSample);
    surface.set_pen_width(kSamplePenWidth);
    surface.set_font_name(kFont);
    surface.set_font_size(kSampleFontSize);
    surface.set_font_bold(false);
    for (std::size_t i = 0; i < content.samples.size(); ++i) {
        draw_sample(surface, plot, content.samples[i], shown[i],
                    sample_label_text(content.samples[i], i, content.labels), labels);
    }
    if (content.figure) {
        // Clear of the tick labels and axis captions left of and below the frame.
        LabelBox bounds = *content.figure;
        bounds.width -= plot.left - bounds.x;
        bounds.x = plot.left;
        bounds.height = plot.bottom - bounds.y;
        labels.finish(surface, bounds);
    }

    keep_text_style(kKeepRestore, style, surface);
    surface.set_pen_width(kept_pen);
}

} // namespace

void draw_diagram(Surface& surface, PlotWindow& plot, AxisCaptions& captions,
                  const DiagramContent& content) {
    // Once for the whole picture, however many runs the surface makes of it.
    const std::vector<IdenticalSwitches> shown =
        lines_to_draw(content.samples, content.identical_on, surface.overwrites_lines());
    // Every run lays the diagram out alike from the same start; the kept run's layout
    // stands.
    const PlotWindow plot_before = plot;
    const AxisCaptions captions_before = captions;
    surface.draw_whole(content.samples.size(), [&](Surface& on, bool kept) {
        PlotWindow run_plot = plot_before;
        AxisCaptions run_captions = captions_before;
        draw_whole_diagram(on, run_plot, run_captions, content, shown);
        if (kept) {
            plot = run_plot;
            captions = run_captions;
        }
    });
}

} // namespace teravine
