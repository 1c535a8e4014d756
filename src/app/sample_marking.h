// SPDX-License-Identifier: GPL-3.0-or-later
// What a click draws at once for a sample it has just identified.
#pragma once

#include "diagram/plot_window.h"
#include "diagram/surface.h"
#include "identify/sample_list.h"
#include "lines/line_store.h"

#include <optional>
#include <string>

namespace teravine {

inline constexpr const char* kSampleLimitMessage =
    "The diagram already holds 32767 samples, the most it can hold. Clear the points "
    "before adding more.";

// The sample's checked identical lines, its heavy dot at (pos_x, pos_y) and its bold
// Arial 12 label there (the text given; nothing without one); the surface's colour, pen
// width and text settings are kept.
void mark_new_sample(Surface& surface, const PlotWindow& plot, const PlacedSample& sample,
                     IdenticalSwitches shown, float pos_x, float pos_y,
                     const std::optional<std::string>& label);

} // namespace teravine
