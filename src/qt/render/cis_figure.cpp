// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/cis_figure.h"

#include "qt/render/figure_page.h"

namespace teravine {

std::optional<std::string> write_cis_image(const std::string& path, const CisCalibration& c,
                                           const ZoneLimits& limits) {
    return write_figure_page(
        path, kCisFigureWidth, kCisFigureHeight, "Teravine CIS calibration", [&](Surface& surface) {
            surface.clear();
            draw_cis_figure(surface, c, limits, {0, 0, kCisFigureWidth, kCisFigureHeight});
        });
}

} // namespace teravine
