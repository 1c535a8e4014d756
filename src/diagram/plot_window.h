// The plot window: the world window of the current Reichweite and where the frame lies
// on the drawing surface, with the transforms between widths and surface units.
#pragma once

#include "model/calibration.h"

namespace teravine {

struct PlotWindow : WorldWindow {
    float xorig = 0, yorig = 0; // surface position of world (0, 0)
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

// Surface position to widths (the pointer read-out's inverse rule).
inline float ad_from_surface(const PlotWindow& p, float x) {
    return static_cast<float>((static_cast<double>(x) - p.left) * p.xunit + p.xmin);
}
inline float eg_from_surface(const PlotWindow& p, float y) {
    return static_cast<float>((static_cast<double>(p.bottom) - y) * p.yunit + p.ymin);
}

} // namespace teravine
