// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/peak_figure.h"

#include "cli/renderer_library.h"

namespace teravine::cli {

std::optional<std::string> write_peak_figure(const std::string& path, const PeakRange& range,
                                             const std::vector<FigurePanel>& panels) {
    const auto renderer = figure_renderer();
    if (!renderer) {
        return renderer.error();
    }
    std::vector<PeakPanel> drawn;
    for (const auto& [side, m] : panels) {
        drawn.push_back(
            measured_panel(side + " " + m->pattern.name, m->pattern, m->width, range, false));
        drawn.back().fit = m->fit;
    }
    return (*renderer)->peak_image(path, drawn);
}

} // namespace teravine::cli
