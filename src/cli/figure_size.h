// SPDX-License-Identifier: GPL-3.0-or-later
// The size of a figure as `plot --width/--height/--dpi` give it: lengths with a unit
// ("160mm", "6in", "1200px") and a resolution.
#pragma once

#include "diagram/figure_size.h"
#include "text/outcome.h"

#include <optional>
#include <string>

namespace teravine::cli {

// A page of width x height at dpi. A missing width or height takes the other's; the
// resolution defaults to 300 dpi when a length is physical (mm, in) and to 96 (a screen)
// when both are in pixels.
Outcome<FigureSize> figure_size(const std::string& width, const std::string& height,
                                std::optional<double> dpi);

} // namespace teravine::cli
