// SPDX-License-Identifier: GPL-3.0-or-later
// The widths under the pointer, truncated to three decimals, and the read-out text.
#pragma once

#include "diagram/plot_window.h"

#include <optional>
#include <string>

namespace teravine {

struct PointerReadout {
    float iw_ad = 0;
    float iw_eg = 0;
    std::string text; // "AD IW: .250  EG IW: .180"
};

// Nothing when (x, y) is not strictly inside the frame.
std::optional<PointerReadout> read_pointer(const PlotWindow& plot, float x, float y);

// The largest multiple of 0.001 not above v.
float truncate_3(float v);

} // namespace teravine
