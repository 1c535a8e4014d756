// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/peak_image.h"

#include "qt/render/figure_page.h"

#include <algorithm>

namespace teravine {

std::optional<std::string> write_peak_image(const std::string& path,
                                            const std::vector<PeakPanel>& panels) {
    const double width =
        kPeakPanelWidth * static_cast<double>(std::max<std::size_t>(1, panels.size()));
    return write_figure_page(path, width, kPeakPanelHeight, "Teravine measured peaks",
                             [&](Surface& surface) { draw_peak_figure(surface, panels); });
}

} // namespace teravine
