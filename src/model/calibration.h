// SPDX-License-Identifier: GPL-3.0-or-later
// The calibration model's data: coefficient tables per Reichweite, the k of each row,
// the axis range, the sampled constant-k curves and the world window of the diagram.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace teravine {

// (Reichweite index 0..3, row 0..5, power 0..5); row 0 holds zeros. A curve between two
// rows is never stored here: interp_row hands it back as a row of its own.
using CoefTable = std::array<std::array<std::array<float, 6>, 6>, 4>;

// k of rows 1..5 (index 0 unused).
inline constexpr std::array<float, 6> kKRow{0, 0, 0.5f, 1, 2, 3};
inline constexpr int kCurvePoints = 110; // points 1..110 of a sampled k curve

// (point 0..110, coordinate 0..2, row 0..6): coordinate 1 is the AD width, 2 the EG width.
using KCurves = std::array<std::array<std::array<float, 7>, 3>, kCurvePoints + 1>;

// The world part of the plot window, written whenever a Reichweite is loaded.
struct WorldWindow {
    float xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    float xstep = 0, ystep = 0, xunit = 0, yunit = 0;
    float nx = 0, ny = 0;
    std::int16_t xminor = 0, yminor = 0;
};

struct Calibration {
    std::int16_t reich = 0; // 1 = R0, 2 = R1, 3 = R3
    std::array<std::string, 4> reich_name{};
    CoefTable coef_eg{};
    CoefTable coef_invn{};
    std::array<float, 6> k_row{};
    std::array<float, 4> iw_range{};
    KCurves k_curve{};

    float range() const { return iw_range[static_cast<std::size_t>(reich)]; }
    const std::string& name() const { return reich_name[static_cast<std::size_t>(reich)]; }
};

// Start-up values: the names R0, R1, R3 and the k of rows 1..5. Leaves reich at 0.
void init_calibration(Calibration& cal);

// Loads the tables of cal.reich, the world window and the sampled k curves.
void load_reich(Calibration& cal, WorldWindow& world);

// A calibration loaded as the window loads it: R0 at start, then the given index.
// world, when given, receives the world window of that index.
Calibration make_calibration(std::int16_t reich = 1, WorldWindow* world = nullptr);

// "R0", "R1", "R3" -> 1, 2, 3; anything else -> 0.
std::int16_t reich_from_name(const std::string& name);

} // namespace teravine
