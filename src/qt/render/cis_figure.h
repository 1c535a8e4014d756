// SPDX-License-Identifier: GPL-3.0-or-later
// A CIS calibration as a figure: the laboratory's measured FWHM of each standard against
// its certified value, the fitted line with its equation and r, the zone limits across,
// and the residuals (certified less predicted) in a panel beneath. Drawn on any surface,
// so the calibration dialog shows what `cis fit --figure` writes. No Qt type here.
#pragma once

#include "diagram/surface.h"
#include "peaks/peak_plot.h"
#include "standards/cis_calibration.h"

#include <optional>
#include <string>

namespace teravine {

inline constexpr double kCisFigureWidth = 560;
inline constexpr double kCisFigureHeight = 520;

// Within `whole`, in user units of one screen pixel each; leaves the text style as it
// found it.
void draw_cis_figure(Surface& surface, const CisCalibration& calibration, const ZoneLimits& limits,
                     const PlotArea& whole);

// Nothing on success, else the failure naming the file; the format follows the suffix
// (.png, .svg, .pdf).
std::optional<std::string> write_cis_image(const std::string& path,
                                           const CisCalibration& calibration,
                                           const ZoneLimits& limits);

} // namespace teravine
