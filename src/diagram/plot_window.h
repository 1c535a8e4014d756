// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window: the world window of the current Reichweite and where the frame lies
// on the drawing surface, with the transforms between widths and surface units.
#pragma once

#include "model/calibration.h"

namespace teravine {

struct PlotWindow : WorldWindow {
    float xorig = 0, yorig = 0;                     // surface position of world (0, 0)
    float left = 0, right = 0, bottom = 0, top = 0; // frame edges; top < bottom
};

inline float x_to_surface(float x, float xmin, float xorig, float xunit) {
    return static_cast<float>(xorig + (static_cast<double>(x) - xmin) / xunit);
}
inline float y_to_surface(float y, float ymin, float yorig, float yunit) {
    return static_cast<float>(yorig - (static_cast<double>(y) - ymin) / yunit);
}
inline float x_from_origin(float xorig, float xunit, float d) {
    return static_cast<float>(xorig + static_cast<double>(d) / xunit);
}
inline float y_from_origin(float yorig, float yunit, float d) {
    return static_cast<float>(yorig - static_cast<double>(d) / yunit);
}

// The layout: where the frame lies on the surface. caption_height is the text
// height of the horizontal-axis caption and caption_width the text width of the
// vertical-axis caption, both measured in the axis font on the surface drawn on.
inline void layout_frame(PlotWindow& p, float caption_height, float caption_width) {
    const float height = p.ymax - p.ymin;
    const float width = p.xmax - p.xmin;
    const float two_heights = 2.0f * caption_height;
    p.yorig = static_cast<float>(static_cast<double>(height) * 1.05 / p.yunit + two_heights);
    p.xorig = static_cast<float>(static_cast<double>(width) * 0.1 / p.xunit +
                                 1.1 * static_cast<double>(caption_width));
    p.left = x_from_origin(p.xorig, p.xunit, 0);
    p.right = x_from_origin(p.xorig, p.xunit, width);
    p.bottom = y_from_origin(p.yorig, p.yunit, 0);
    p.top = y_from_origin(p.yorig, p.yunit, height);
}

// Surface position to widths (the pointer read-out's inverse rule).
inline float ad_from_surface(const PlotWindow& p, float x) {
    return static_cast<float>((static_cast<double>(x) - p.left) * p.xunit + p.xmin);
}
inline float eg_from_surface(const PlotWindow& p, float y) {
    return static_cast<float>((static_cast<double>(p.bottom) - y) * p.yunit + p.ymin);
}

} // namespace teravine
