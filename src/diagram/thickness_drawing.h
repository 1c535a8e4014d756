// SPDX-License-Identifier: GPL-3.0-or-later
// A thickness analysis as a figure: the corrected Fourier coefficients with the initial
// slope that gives the mean, and the distribution of the stacks' thicknesses with the
// lognormal fitted to it. Drawn on any surface; `thickness --figure` writes it.
#pragma once

#include "diagram/surface.h"
#include "peaks/peak_plot.h"
#include "thickness/thickness_analysis.h"

#include <string>

namespace teravine {

struct ThicknessFigure {
    std::string sample;   // the sample's file name
    std::string standard; // the standard's, empty when none was given
    ThicknessResult result;
};

inline constexpr double kThicknessFigureWidth = 900;
inline constexpr double kThicknessFigureHeight = 400;

// Within `whole`, in user units of one screen pixel each; leaves the text style as it
// found it.
void draw_thickness_figure(Surface& surface, const ThicknessFigure& figure, const PlotArea& whole);

// The distribution alone, its bars with the lognormal over them, framed by `plot` (the
// axes' titles and tick labels drawn outside it: about 50 units on the left and 30 below,
// 20 above), with the lognormal's α and β² in its corner when `legend`; leaves the text
// style as it found it.
void draw_thickness_distribution(Surface& surface, const ThicknessResult& result,
                                 const PlotArea& plot, bool legend = true);

// The measuring dialog's small plot of a width x height box: the distribution without its
// legend and with room for the axes' labels; without a result, "Analysing…" or "No
// distribution" in its middle. Leaves the text style as it found it.
void draw_distribution_panel(Surface& surface, const ThicknessResult* result, bool analysing,
                             double width, double height);

} // namespace teravine
