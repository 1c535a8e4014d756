// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/cis_figure.h"

#include "diagram/image_format.h"
#include "qt/painter_surface.h"
#include "qt/render/headless_gui.h"
#include "qt/render/page_file.h"

#include <cmath>

namespace teravine {

std::optional<std::string> write_cis_image(const std::string& path, const CisCalibration& c,
                                           const ZoneLimits& limits) {
    const auto format = image_format_for(path);
    if (!format) {
        return unknown_format_message(path);
    }
    HeadlessGui gui;
    // Twice the screen's resolution, as the peak figures: sharp when printed.
    const PageFile page{static_cast<int>(std::lround(kCisFigureWidth * 2)),
                        static_cast<int>(std::lround(kCisFigureHeight * 2)), 2.0 * kScreenDpi,
                        "Teravine CIS calibration"};
    return write_page_file(path, *format, page, [&](QPaintDevice& device) {
        PainterSurface surface(&device, 2.0);
        surface.set_antialiasing(true);
        surface.set_user_scale(0, 0, static_cast<float>(kCisFigureWidth),
                               static_cast<float>(kCisFigureHeight));
        surface.clear();
        draw_cis_figure(surface, c, limits, {0, 0, kCisFigureWidth, kCisFigureHeight});
        surface.finish();
    });
}

} // namespace teravine
