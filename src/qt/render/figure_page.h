// SPDX-License-Identifier: GPL-3.0-or-later
// A figure of width x height user units (the screen's pixels) drawn through a Surface and
// written as a PNG, SVG or PDF page at twice the screen's resolution: sharp when printed,
// the figure at its screen size. The peak, CIS and thickness figures are written so.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace teravine {

class Surface;

// Nothing on success, else the reason: a path of no known image kind, or "Cannot write
// PATH: reason".
std::optional<std::string> write_figure_page(const std::string& path, double width, double height,
                                             const std::string& title,
                                             const std::function<void(Surface&)>& draw);

} // namespace teravine
