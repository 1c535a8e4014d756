// SPDX-License-Identifier: GPL-3.0-or-later
// The whole diagram: axes, the checked grid families,
// every sample's dot, label and checked identical lines. The window's own step 2
// (size rule, clearing, the (0, 0)-(15, 15) scale) belongs to the caller.
#pragma once

#include "diagram/axes.h"
#include "diagram/diagram_labels.h"
#include "diagram/plot_window.h"
#include "diagram/surface.h"
#include "identify/sample_list.h"
#include "lines/line_store.h"
#include "model/calibration.h"

#include <optional>
#include <string>

namespace teravine {

// What is written beside each sample: its label (N, %S, k, Nfp), its name, its number in
// the list, or nothing.
enum class SampleLabels { label, name, number, none };

// The text beside sample `index` (0-based; the number shows index + 1); nothing for none.
std::optional<std::string> sample_label_text(const PlacedSample& sample, std::size_t index,
                                             SampleLabels labels);

struct DiagramContent {
    const Calibration& cal;    // k_curve and k_row
    const ConstLines& grids;   // the constant N, %S and Nfp stores
    const SampleList& samples; // sample p is samples[p - 1]
    GridSwitches grids_on;
    IdenticalSwitches identical_on;
    SampleLabels labels = SampleLabels::label; // none: a crowded figure of dots and lines
    bool ellipses = false;    // each sample's uncertainty outline, where it has one
    std::string caption = {}; // a saved figure's line under the diagram; empty: none
    // A saved figure's line under the caption saying what the ellipses are; drawn with an
    // ellipse before it.
    std::optional<std::string> ellipse_legend = {};
    // A saved figure's picture in user units: its labels are laid apart within it (right
    // of the frame's left edge and above its bottom), with leader lines, and its k curves
    // end at the frame. None: the window's picture.
    std::optional<LabelBox> figure = {};
};

enum class IdenticalLine { n, k, s, fp };

// One identical line of a sample in its family colour (k: always 110 points; the
// others: the line's own count). The pen width is the caller's.
void draw_identical_line(Surface& surface, const PlotWindow& plot, const PlacedSample& sample,
                         IdenticalLine which);

// The sample's checked identical lines in the order N, k, %S, Nfp.
void draw_identical_lines(Surface& surface, const PlotWindow& plot, const PlacedSample& sample,
                          IdenticalSwitches on);

// Where a sample's label starts: at its dot, where the point left the current position;
// for a dot beyond the frame's right or top edge (a sample beyond the axes), inside the
// frame's corner nearest to it, so that the label stays on the picture.
void place_sample_label(Surface& surface, const PlotWindow& plot, const std::string& label);

// Step 9 for one sample: pen width 5, the dot at its widths and its label written there
// through labels (in the surface's current font and colour; the text given, nothing
// without one), then pen width 1 and its checked lines.
void draw_sample(Surface& surface, const PlotWindow& plot, const PlacedSample& sample,
                 IdenticalSwitches on, const std::optional<std::string>& label,
                 DiagramLabels& labels);

// The outline of the sample's uncertainty region, if it has one, in the samples' colour
// at pen width 1; the surface's colour and pen width are kept.
void draw_uncertainty_outline(Surface& surface, const PlotWindow& plot, const PlacedSample& sample);

// Draws the diagram on a surface already cleared and scaled by the caller. Writes the
// layout into plot and legx's place into captions; leaves the surface's pen width,
// font and foreground colour as it found them. The whole drawing goes to the surface's
// draw_whole, which may run it on several threads at once.
void draw_diagram(Surface& surface, PlotWindow& plot, AxisCaptions& captions,
                  const DiagramContent& content);

} // namespace teravine
