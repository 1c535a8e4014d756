// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/diagram_picture.h"

#include "diagram/text_style.h"

namespace teravine {

namespace {

constexpr float kPictureUnits = 15;
// legy's place in the window's picture, in twips from the picture's top-left corner.
constexpr float kLegyLeftTwips = 120;
constexpr float kLegyTopTwips = 600;
constexpr float kTwipsPerPixel = 15;
constexpr float kCaptionFontSize = 10;

// The caption labels are widgets in the window; a file has none, so their texts are
// printed where the labels would stand, in the axis font.
void print_captions(Surface& surface, int pixels, const AxisCaptions& captions,
                    const PlotWindow& plot, const std::string& caption) {
    TextStyle kept;
    keep_text_style(kKeepStore, kept, surface);
    surface.set_font_name("Arial");
    surface.set_font_size(kCaptionFontSize);
    surface.set_font_bold(false);
    surface.set_fore_color(kColourSample);

    surface.set_current(captions.x_left, captions.x_top);
    surface.print_text(captions.x_text);
    if (!caption.empty()) {
        // One line under the axis caption, from the frame's left edge.
        surface.set_current(plot.left,
                            captions.x_top + 1.4f * surface.text_height(captions.x_text));
        surface.print_text(caption);
    }

    // The picture spans pixels * 15 twips over 15 units.
    const float twips_per_unit = static_cast<float>(pixels) * kTwipsPerPixel / kPictureUnits;
    surface.set_current(kLegyLeftTwips / twips_per_unit, kLegyTopTwips / twips_per_unit);
    surface.print_text(captions.y_text);

    keep_text_style(kKeepRestore, kept, surface);
}

} // namespace

void draw_diagram_picture(Surface& surface, int pixels, const DiagramContent& content,
                          PlotWindow& plot, AxisCaptions& captions) {
    surface.set_user_scale(0, 0, kPictureUnits, kPictureUnits);
    surface.clear();
    draw_diagram(surface, plot, captions, content);
    print_captions(surface, pixels, captions, plot, content.caption);
}

} // namespace teravine
