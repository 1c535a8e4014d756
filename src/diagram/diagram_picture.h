// SPDX-License-Identifier: GPL-3.0-or-later
// One routine that lays a whole diagram onto any surface as a figure: as the window's
// picture shows it (cleared white, (0, 0)-(15, 15) over the surface, the axis captions
// printed as text where the window places its caption labels), with its labels laid
// apart, the caption and the ellipses' legend under it, and R3's smaller frame filling
// the picture as R0's does. Image files and the page's saved pictures are drawn through it.
#pragma once

#include "diagram/axes.h"
#include "diagram/draw_diagram.h"
#include "diagram/plot_window.h"
#include "diagram/surface.h"

namespace teravine {

// Draws on surface, `pixels` wide, and fills plot and captions; the caller finishes the
// surface's device.
void draw_diagram_picture(Surface& surface, int pixels, const DiagramContent& content,
                          PlotWindow& plot, AxisCaptions& captions);

} // namespace teravine
