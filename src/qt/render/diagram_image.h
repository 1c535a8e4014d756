// SPDX-License-Identifier: GPL-3.0-or-later
// The whole diagram drawn without a window into a PNG, SVG or PDF file, through the
// same drawing routine as the window's picture. No Qt type in this header, so the
// command-line tool can use it as it is.
#pragma once

#include "diagram/axes.h"
#include "diagram/draw_diagram.h"
#include "diagram/figure_size.h"
#include "diagram/plot_window.h"
#include "qt/render/page_file.h"
#include "text/outcome.h"

#include <optional>
#include <string>

namespace teravine {

// What a written image shows: the frame's layout in the image's user units.
struct WrittenImage {
    ImageFormat format = ImageFormat::Png;
    int pixels = 0;
    PlotWindow plot;
};

// Draws the diagram on a square image of `pixels` (the picture's (0, 0)-(15, 15) scale
// over it, the axis captions printed where the window shows its caption labels) and
// writes it to path. Every image the program saves goes through here: it is written
// beside path and renamed over it only once complete, so a failure (a full disk) leaves
// any old file untouched and no partial file. The failure text names the file and the
// system's reason.
Outcome<WrittenImage> write_diagram_image(const DiagramContent& content, const WorldWindow& world,
                                          const std::string& path,
                                          int pixels = kDefaultImagePixels);

// A figure: a page of the size given, the diagram cropped to what it draws with a
// margin of kFigureMarginPixels screen pixels, centred, as large as the page allows, its
// text and lines at their screen size for a 96 dpi screen (so a 160 mm figure at 300 dpi
// looks like the window's picture at 160 mm, only sharper).
inline constexpr int kFigureMarginPixels = 6;

// Where such a figure's page of `size` holds the square picture: its top-left corner and
// side in the page's device pixels, and the picture's side in screen pixels, as
// draw_diagram_picture takes it. The report places its diagram so.
struct FigureFrame {
    double left = 0, top = 0, side = 0;
    int picture_pixels = kDefaultImagePixels;
};
FigureFrame figure_frame(const DiagramContent& content, const WorldWindow& world,
                         const FigureSize& size);

Outcome<WrittenImage> write_diagram_figure(const DiagramContent& content, const WorldWindow& world,
                                           const std::string& path, const FigureSize& size);

} // namespace teravine
