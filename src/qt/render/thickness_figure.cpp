// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/thickness_figure.h"

#include "diagram/image_format.h"
#include "qt/painter_surface.h"
#include "qt/render/headless_gui.h"
#include "qt/render/page_file.h"

#include <cmath>

namespace teravine {

std::optional<std::string> write_thickness_image(const std::string& path,
                                                 const ThicknessFigure& figure) {
    const auto format = image_format_for(path);
    if (!format) {
        return unknown_format_message(path);
    }
    HeadlessGui gui;
    // Twice the screen's resolution, as the other figures: sharp when printed.
    const PageFile page{static_cast<int>(std::lround(kThicknessFigureWidth * 2)),
                        static_cast<int>(std::lround(kThicknessFigureHeight * 2)), 2.0 * kScreenDpi,
                        "Teravine stack thickness"};
    return write_page_file(path, *format, page, [&](QPaintDevice& device) {
        PainterSurface surface(&device, 2.0);
        surface.set_antialiasing(true);
        surface.set_user_scale(0, 0, static_cast<float>(kThicknessFigureWidth),
                               static_cast<float>(kThicknessFigureHeight));
        surface.clear();
        draw_thickness_figure(surface, figure,
                              {0, 0, kThicknessFigureWidth, kThicknessFigureHeight});
        surface.finish();
    });
}

} // namespace teravine
