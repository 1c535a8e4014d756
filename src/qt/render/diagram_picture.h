// SPDX-License-Identifier: GPL-3.0-or-later
// One routine that lays a whole diagram onto any Qt paint device as the window's picture
// shows it: cleared white, (0, 0)-(15, 15) over the device, the axis captions printed
// as text where the window places its caption labels.
#pragma once

#include "diagram/axes.h"
#include "diagram/draw_diagram.h"
#include "diagram/plot_window.h"
#include "qt/painter_surface.h"

namespace teravine {

// legy's place in the window's picture, in twips from the picture's top-left corner.
inline constexpr float kLegyLeftTwips = 120;
inline constexpr float kLegyTopTwips = 600;
inline constexpr float kTwipsPerPixel = 15;

// Draws on surface, whose device is `pixels` wide, and fills plot and captions.
void draw_diagram_picture(PainterSurface& surface, int pixels, const DiagramContent& content,
                          PlotWindow& plot, AxisCaptions& captions);

} // namespace teravine
