// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/peak_image.h"

#include "qt/painter_surface.h"
#include "qt/render/headless_gui.h"
#include "qt/render/page_file.h"

#include <cmath>

namespace teravine {

std::optional<std::string> write_peak_image(const std::string& path,
                                            const std::vector<PeakPanel>& panels) {
    const auto format = image_format_for(path);
    if (!format) {
        return unknown_format_message(path);
    }
    HeadlessGui gui;
    // Twice the screen's resolution: sharp when printed, figures at their screen size.
    const double dpi = 2.0 * kScreenDpi;
    const double width =
        kPeakPanelWidth * static_cast<double>(std::max<std::size_t>(1, panels.size()));
    const PageFile page{static_cast<int>(std::lround(width * 2)),
                        static_cast<int>(std::lround(kPeakPanelHeight * 2)), dpi,
                        "Teravine measured peaks"};
    return write_page_file(path, *format, page, [&](QPaintDevice& device) {
        PainterSurface surface(&device, 2.0);
        surface.set_antialiasing(true);
        surface.set_user_scale(0, 0, static_cast<float>(width),
                               static_cast<float>(kPeakPanelHeight));
        draw_peak_figure(surface, panels);
        surface.finish();
    });
}

} // namespace teravine
