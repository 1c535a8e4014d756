// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/thickness_figure.h"

#include "qt/render/figure_page.h"

namespace teravine {

std::optional<std::string> write_thickness_image(const std::string& path,
                                                 const ThicknessFigure& figure) {
    return write_figure_page(path, kThicknessFigureWidth, kThicknessFigureHeight,
                             "Teravine stack thickness", [&](Surface& surface) {
                                 surface.clear();
                                 draw_thickness_figure(
                                     surface, figure,
                                     {0, 0, kThicknessFigureWidth, kThicknessFigureHeight});
                             });
}

} // namespace teravine
