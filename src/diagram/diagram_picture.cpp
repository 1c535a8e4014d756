// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/diagram_picture.h"

#include "diagram/text_style.h"

#include <cmath>
#include <numbers>

namespace teravine {

namespace {

constexpr float kPictureUnits = 15;
constexpr float kWideFrameUnits = 11; // R0's and R1's frame
// legy's place in the window's picture, in twips from the picture's top-left corner.
constexpr float kLegyLeftTwips = 120;
constexpr float kLegyTopTwips = 600;
constexpr float kTwipsPerPixel = 15;
constexpr float kCaptionFontSize = 10;

// The caption labels are widgets in the window; a file has none, so their texts are
// printed where the labels would stand, in the axis font.
// The legend's ellipse, as wide as two letters "M", its left end at (x, y).
void draw_legend_ellipse(Surface& surface, float x, float y) {
    constexpr int kSteps = 32;
    const float half_width = surface.text_width("M");
    const float half_height = 0.35f * surface.text_height("M");
    surface.set_current(x, y);
    for (int i = 0; i <= kSteps; ++i) {
        const double angle = 2 * std::numbers::pi * i / kSteps;
        surface.line_to(x + half_width * static_cast<float>(1 - std::cos(angle)),
                        y + half_height * static_cast<float>(std::sin(angle)));
    }
}

void print_captions(Surface& surface, int pixels, float units, const AxisCaptions& captions,
                    const PlotWindow& plot, const DiagramContent& content) {
    const std::string& caption = content.caption;
    TextStyle kept;
    keep_text_style(kKeepStore, kept, surface);
    surface.set_font_name("Arial");
    surface.set_font_size(kCaptionFontSize);
    surface.set_font_bold(false);
    surface.set_fore_color(kColourSample);

    surface.set_current(captions.x_left, captions.x_top);
    surface.print_text(captions.x_text);
    // One line under the axis caption, from the frame's left edge, and the legend under it.
    const float line_height = 1.4f * surface.text_height(captions.x_text);
    float line_top = captions.x_top + line_height;
    if (!caption.empty()) {
        surface.set_current(plot.left, line_top);
        surface.print_text(caption);
        line_top += line_height;
    }
    if (content.ellipse_legend) {
        const int pen = surface.pen_width();
        surface.set_pen_width(1);
        const float middle = line_top + 0.5f * surface.text_height(*content.ellipse_legend);
        draw_legend_ellipse(surface, plot.left, middle);
        surface.set_pen_width(pen);
        surface.set_current(plot.left + 3 * surface.text_width("M"), line_top);
        surface.print_text(*content.ellipse_legend);
    }

    // The picture spans pixels * 15 twips over its units.
    const float twips_per_unit = static_cast<float>(pixels) * kTwipsPerPixel / units;
    surface.set_current(kLegyLeftTwips / twips_per_unit, kLegyTopTwips / twips_per_unit);
    surface.print_text(captions.y_text);

    keep_text_style(kKeepRestore, kept, surface);
}

} // namespace

void draw_diagram_picture(Surface& surface, int pixels, const DiagramContent& content,
                          PlotWindow& plot, AxisCaptions& captions) {
    // The picture holds R0's and R1's frame of 11 units in 15; R3's frame of 9 takes as
    // much of it, on fewer units.
    const float frame_units = (plot.xmax - plot.xmin) / plot.xunit;
    const float units = frame_units > 0 && frame_units < kWideFrameUnits
                            ? kPictureUnits * frame_units / kWideFrameUnits
                            : kPictureUnits;
    DiagramContent figure = content;
    figure.figure = LabelBox{0, 0, units, units};
    surface.set_user_scale(0, 0, units, units);
    surface.clear();
    draw_diagram(surface, plot, captions, figure);
    print_captions(surface, pixels, units, captions, plot, figure);
}

} // namespace teravine
