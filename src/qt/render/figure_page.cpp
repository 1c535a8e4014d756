// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/figure_page.h"

#include "diagram/image_format.h"
#include "qt/painter_surface.h"
#include "qt/render/headless_gui.h"
#include "qt/render/page_file.h"

#include <cmath>

namespace teravine {

std::optional<std::string> write_figure_page(const std::string& path, double width, double height,
                                             const std::string& title,
                                             const std::function<void(Surface&)>& draw) {
    const auto format = image_format_for(path);
    if (!format) {
        return unknown_format_message(path);
    }
    HeadlessGui gui;
    const PageFile page{static_cast<int>(std::lround(width * 2)),
                        static_cast<int>(std::lround(height * 2)), 2.0 * kScreenDpi, title};
    return write_page_file(path, *format, page, [&](QPaintDevice& device) {
        PainterSurface surface(&device, 2.0);
        surface.set_antialiasing(true);
        surface.set_user_scale(0, 0, static_cast<float>(width), static_cast<float>(height));
        draw(surface);
        surface.finish();
    });
}

} // namespace teravine
