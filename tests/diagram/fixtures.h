// SPDX-License-Identifier: GPL-3.0-or-later
// Small builders shared by the diagram tests.
#pragma once

#include "diagram/plot_window.h"
#include "lines/line_store.h"
#include "model/calibration.h"

#include <initializer_list>

namespace teravine {

// The world window of a Reichweite, frame not yet laid out.
inline PlotWindow world_plot(std::int16_t reich) {
    Calibration cal;
    init_calibration(cal);
    cal.reich = reich;
    PlotWindow plot;
    load_reich(cal, plot);
    return plot;
}

// R0 laid out with the recording surface's metrics at size 10 for the default captions.
inline PlotWindow laid_out_r0() {
    PlotWindow plot = world_plot(1);
    layout_frame(plot, 0.25f, 0.4f);
    return plot;
}

inline Line make_line(std::initializer_list<LinePoint> points) {
    Line line;
    line.points = points;
    line.count = static_cast<std::int16_t>(line.points.size());
    return line;
}

inline float sx(const PlotWindow& p, float ad) {
    return x_to_surface(ad, p.xmin, p.xorig, p.xunit);
}
inline float sy(const PlotWindow& p, float eg) {
    return y_to_surface(eg, p.ymin, p.yorig, p.yunit);
}

} // namespace teravine
