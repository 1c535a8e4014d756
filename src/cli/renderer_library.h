// SPDX-License-Identifier: GPL-3.0-or-later
// The figure renderer, a library opened only by the commands that draw: the others
// start without the toolkit. It lies beside the tool as the installed tree and the build
// tree both lay it down (lib/teravine/render/ next to bin/).
#pragma once

#include "qt/render/figure_renderer.h"
#include "text/outcome.h"

#include <string>

namespace teravine::cli {

// The renderer's functions, the library opened on the first call and kept; else why it
// could not be opened, worded for the user.
Outcome<const FigureRenderer*> figure_renderer();

// The same from the library at `path` (the tool's own is renderer_path()).
Outcome<const FigureRenderer*> open_figure_renderer(const std::string& path);
std::string renderer_path();

} // namespace teravine::cli
