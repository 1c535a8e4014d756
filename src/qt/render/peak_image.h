// SPDX-License-Identifier: GPL-3.0-or-later
// Measured peaks side by side in a PNG, SVG or PDF file, drawn as the window's
// measuring plots draw them. No Qt type here, so the command-line tool uses it as it is.
#pragma once

#include "diagram/peak_drawing.h"

#include <optional>
#include <string>
#include <vector>

namespace teravine {

// Nothing on success, else the failure naming the file. The format follows the suffix.
std::optional<std::string> write_peak_image(const std::string& path,
                                            const std::vector<PeakPanel>& panels);

} // namespace teravine
