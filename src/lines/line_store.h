// SPDX-License-Identifier: GPL-3.0-or-later
// Polylines of the diagram's reference lines: the grids of constant N, %S and Nfp and
// the four lines kept through every sample.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace teravine {

struct LinePoint {
    float ad = 0; // AD width, degrees 2-theta
    float eg = 0; // EG width, degrees 2-theta
};

// One polyline. A builder may store more points than it counts (the Nfp march stores
// its last point without counting it); readers use the first `count` points only.
struct Line {
    std::vector<LinePoint> points;
    std::int16_t count = 0;

    const LinePoint& point(int j) const {
        return points[static_cast<std::size_t>(j - 1)];
    } // 1-based
};

// The three grid families with their defining values. Index i is the line number;
// lines that a family never computes keep count 0.
struct ConstLines {
    std::array<Line, 11> n{};             // lines 1..10
    std::array<std::int16_t, 11> val_n{}; // N of each line
    std::array<Line, 17> s{};             // lines 2, 4, ..., 12
    std::array<float, 17> val_s{};        // %S as a fraction
    std::array<Line, 17> fp{};            // lines 2..16
    std::array<float, 17> val_fp{};       // 1/Nfp
};

// Check marks of the "Grid Lines" menu: a family is drawn and exported when checked.
struct GridSwitches {
    bool k = true;   // "Constant k"
    bool n = false;  // "Constant N"
    bool s = false;  // "Constant %S"
    bool fp = false; // "Approx. constant Nfp"
};

// Check marks of the "Draw" menu: which lines through every sample are drawn.
struct IdenticalSwitches {
    bool k = false;  // "Identical k"
    bool n = false;  // "Identical N"
    bool s = false;  // "Identical %S"
    bool fp = false; // "Approx. Identical Nfp"
};

} // namespace teravine
