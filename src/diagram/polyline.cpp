// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/polyline.h"

#include <algorithm>

namespace teravine {

bool draw_polyline(float factor, Surface& surface, const PlotWindow& plot, const Line& line,
                   int count, Colour colour) {
    const int held = static_cast<int>(line.points.size());
    return draw_polyline(
        factor, surface, plot, [&](int j) { return line.point(j); }, std::min(count, held), colour);
}

bool draw_polyline(float factor, Surface& surface, const PlotWindow& plot, const KCurves& k_curve,
                   int row, int count, Colour colour) {
    const auto r = static_cast<std::size_t>(row);
    const int held = static_cast<int>(k_curve.size()) - 1; // point 0 is not used
    return draw_polyline(
        factor, surface, plot,
        [&](int j) {
            const auto& at = k_curve[static_cast<std::size_t>(j)];
            return LinePoint{at[1][r], at[2][r]};
        },
        std::min(count, held), colour);
}

} // namespace teravine
