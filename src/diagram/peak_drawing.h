// SPDX-License-Identifier: GPL-3.0-or-later
// A measured peak drawn on a surface: the counts, the measuring range's two ends, the
// straight background, the half-height line and its two crossings, framed with the
// ticks of both axes; a panel adds its title and the figures read, or the reason
// nothing was read. The window's measuring plots and every saved peak figure draw so.
#pragma once

#include "diagram/surface.h"
#include "peaks/peak_plot.h"
#include "peaks/profile_fit.h"
#include "text/outcome.h"

#include <optional>
#include <string>
#include <vector>

namespace teravine {

// A small ring round `at`, the mark of a crossing or a measured point.
void ring(Surface& s, PlotPoint at);

inline constexpr Colour kColourCounts = 0x444444;
inline constexpr Colour kColourBackground = 0xBF5F1F;
inline constexpr Colour kColourHalfHeight = 0x2020C0;
inline constexpr Colour kColourRangeEnd = 0x30A030;
inline constexpr Colour kColourFit = 0x900090; // colours as 0xBBGGRR
inline constexpr Colour kColourComponent = 0xD0A0A0;
inline constexpr Colour kColourResidual = 0x808080;

struct PeakPanel {
    std::string title;                 // "AD illite-AD.xy"
    const Pattern* pattern = nullptr;  // none: nothing was read
    std::optional<PeakWidth> width;    // none: nothing measured
    std::optional<ProfileFit> fit;     // with a width taken by a fit
    std::string readout;               // the figures read, one line
    std::string problem;               // why nothing was read or measured
    double range_lo = 0, range_hi = 0; // on the pattern's scale
    std::optional<PeakView> view;      // none: view_around the range
    bool log_counts = false;
};

// "position 8.8000°   FWHM 0.4500°   breadth 0.5210°   u(FWHM) 0.0011°", as printed.
// A doubtful reading names its reasons at the end.
std::string peak_readout(const PeakWidth& width);

// The panel of a pattern read and measured in `range` (Cu Kα scale): the figures read,
// or the measurer's message.
PeakPanel measured_panel(std::string title, const Pattern& pattern,
                         const Outcome<PeakWidth>& measured, const PeakRange& range,
                         bool log_counts);

// Expects a user scale of one unit a screen pixel; leaves the text style as it found it.
void draw_peak_plot(Surface& surface, const PeakPlot& plot);

// The panel within `whole`; returns the plot as laid out (an empty one without a pattern).
PeakPlot draw_peak_panel(Surface& surface, const PeakPanel& panel, const PlotArea& whole);

// The plot area a panel of `whole` leaves for its plot: room for title, ticks, readout.
PlotArea panel_plot_area(const PlotArea& whole);

// The panels side by side on a cleared surface of width x height units.
inline constexpr double kPeakPanelWidth = 460;
inline constexpr double kPeakPanelHeight = 356;
void draw_peak_figure(Surface& surface, const std::vector<PeakPanel>& panels);

} // namespace teravine
