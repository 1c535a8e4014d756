// SPDX-License-Identifier: GPL-3.0-or-later
// A CIS calibration as a figure: the laboratory's measured FWHM of each standard against
// its CIS value, the fitted line with its equation, r and s, the zone limits that judge
// the calibration's index across (none for an Árkai calibration unless a laboratory's
// own), and the residuals (CIS value less predicted) in a panel beneath. Drawn on any surface,
// so the calibration dialogs of the window and the page show what `cis fit --figure`
// writes.
#pragma once

#include "diagram/surface.h"
#include "peaks/peak_plot.h"
#include "standards/cis_calibration.h"

#include <optional>

namespace teravine {

inline constexpr double kCisFigureWidth = 560;
inline constexpr double kCisFigureHeight = 520;

// Within `whole`, in user units of one screen pixel each; leaves the text style as it
// found it.
void draw_cis_figure(Surface& surface, const CisCalibration& calibration,
                     const std::optional<ZoneLimits>& limits, const PlotArea& whole);

} // namespace teravine
