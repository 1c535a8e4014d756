// SPDX-License-Identifier: GPL-3.0-or-later
// A diagram drawn away from the window, holding what it shows: the calibration of its
// Reichweite with its world window, the grid families switched on, the samples, and what a
// saved figure says under it. `plot` and the report draw it as a figure.
#pragma once

#include "diagram/draw_diagram.h"
#include "identify/sample_list.h"
#include "lines/line_store.h"
#include "model/calibration.h"

#include <cstdint>
#include <optional>
#include <string>

namespace teravine {

struct DiagramScene {
    Calibration cal;
    WorldWindow world;
    ConstLines grids;
    GridSwitches grids_on;
    IdenticalSwitches identical_on;
    SampleList samples;
    SampleLabels labels = SampleLabels::label;
    bool ellipses = false;
    std::string caption;
    std::optional<std::string> legend;

    // Loads the Reichweite's tables and builds the grid families switched on, as the
    // window's menus would.
    void set_up(std::int16_t reich, GridSwitches on);

    DiagramContent content() const;
};

} // namespace teravine
