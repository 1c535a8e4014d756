// SPDX-License-Identifier: GPL-3.0-or-later
// measure --figure: a picture of the measured peaks side by side (PNG, SVG or PDF), to
// check a measurement by eye: the counts, the straight background, the half-height line
// and the two crossings where the FWHM was read, as the window's measuring plots show.
#pragma once

#include "cli/measure_rows.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace teravine::cli {

using FigurePanel = std::pair<std::string, const Measured*>; // side, measurement

// Nothing on success, else the failure naming the file.
std::optional<std::string> write_peak_figure(const std::string& path, const PeakRange& range,
                                             const std::vector<FigurePanel>& panels);

} // namespace teravine::cli
