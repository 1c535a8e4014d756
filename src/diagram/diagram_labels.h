// SPDX-License-Identifier: GPL-3.0-or-later
// The labels of a diagram's lines and samples: printed at once where the drawing leaves
// them (the window's picture), or gathered and laid apart with leader lines (a figure).
#pragma once

#include "diagram/label_layout.h"
#include "diagram/surface.h"

#include <string>
#include <vector>

namespace teravine {

class DiagramLabels {
public:
    explicit DiagramLabels(bool lay_apart) : lay_apart_(lay_apart) {}

    // The text at the surface's current position in its current font and colour, for the
    // point (anchor_x, anchor_y). A sample's label is laid before the lines' labels.
    void write(Surface& surface, const std::string& text, float anchor_x, float anchor_y,
               bool sample);

    // Prints the gathered labels, each moved one with a line from its point, the lines'
    // labels off the samples' dots; the surface's
    // font, colour and pen width are left as they were. Labels stay within `bounds`.
    void finish(Surface& surface, const LabelBox& bounds);

private:
    struct Gathered {
        std::string text;
        LabelRequest request;
        Colour colour = 0;
        float font_size = 0;
        bool sample = false;
    };
    bool lay_apart_;
    std::vector<Gathered> gathered_;
    std::vector<LabelBox> dots_; // about each labelled sample's dot: no line's label covers it
};

} // namespace teravine
