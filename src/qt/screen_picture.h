// SPDX-License-Identifier: GPL-3.0-or-later
// A widget's picture drawn at the screen's own pixels: the plots of the measuring and the
// calibration dialog draw through a PainterSurface on an image of the widget's size times
// the screen's pixel ratio, text and pens at their size in logical pixels.
#pragma once

#include <functional>

class QWidget;

namespace teravine {

class PainterSurface;

// Paints the widget (from its paintEvent) with what `draw` draws on the surface, whose user
// units are the widget's logical pixels, on white.
void paint_at_screen_pixels(QWidget& widget, const std::function<void(PainterSurface&)>& draw);

} // namespace teravine
