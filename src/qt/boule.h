// SPDX-License-Identifier: GPL-3.0-or-later
// The ball animation of the start-up display: a ball rolling across while a line
// flashes, run flat out for five seconds without handling any input.
#pragma once

#include <cstdint>
#include <functional>

namespace teravine {

// u and v are the ball's left and top in pixels of the about window.
struct BallRun {
    float u = 131;
    float v = 15;
    std::int16_t k = 130;
    bool line_visible = false;
};

inline constexpr double kBouleSeconds = 5.0;

// One pass: the ball one step left and 0.2 down, back to the start below 30, and the
// line shown at u = 129, 124, ... and hidden again at u = 127, 122, ...
void boule_step(BallRun& run);

// Passes until seconds() has advanced by kBouleSeconds from its first reading; show
// is called after every pass. seconds must be a monotonic clock, so that a run over
// midnight still ends. Returns the number of passes.
long play_boule(BallRun& run, const std::function<double()>& seconds,
                const std::function<void(const BallRun&)>& show);

} // namespace teravine
