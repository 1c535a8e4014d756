// SPDX-License-Identifier: GPL-3.0-or-later
// The width of the illite 001 peak of a pattern: full width at half maximum by the
// direct half-height method above a straight background, with the integral breadth,
// the position, the net height and the FWHM's uncertainty from counting statistics.
#pragma once

#include "patterns/pattern.h"
#include "text/outcome.h"

#include <optional>
#include <string>

namespace teravine {

// The 2θ range searched, on the Cu Kα scale: wide enough for the broad, shifted peaks
// of mixed-layer illite, clear of chlorite 001 near 6.2° and the 7 Å peaks near 12.4°.
struct PeakRange {
    double lo = 6.5;
    double hi = 11.5;
};

struct PeakWidth {
    // On the Cu Kα scale, the one the diagram is calibrated on.
    double position = 0;    // 2θ of the top of the net peak
    double fwhm = 0;        // °Δ2θ
    double breadth = 0;     // net area over net height, °Δ2θ
    double height = 0;      // net counts at the top
    double u_fwhm = 0;      // standard uncertainty of fwhm from Poisson counts
    bool converted = false; // the pattern's anode was not Cu: the figures were carried over

    // On the pattern's own scale, for drawing the measurement.
    double range_lo = 0, range_hi = 0;           // the range searched
    double background_lo = 0, background_hi = 0; // the straight background at its ends
    double left = 0, right = 0;                  // the two half-height crossings
    double top = 0;                              // 2θ of the top
};

// The background is the straight line through the two flanks of the range, each flank
// the mean of the lower half of the points of a window (a tenth of the range's points)
// at the range's end. The peak is the highest point of the net profile smoothed over
// three points; its height and 2θ come from a parabola through the logarithms of the
// net counts above four fifths of it, which finds the top between two points. The
// half-height crossings are interpolated linearly between the two points of the
// unsmoothed net counts that bracket half the height, walking outward from the top.
// Fails, naming the pattern, when the range (carried over to the pattern's wavelength) is
// not inside the pattern's 2θ span, when it holds too few points, has no peak (flat or
// monotone, or a net height below three standard deviations of the background: its
// Poisson noise when the counts are whole numbers, else the flanks' scatter), or the half
// height is not reached clear of the flank windows.
Outcome<PeakWidth> measure_peak(const Pattern& pattern, const PeakRange& range = {});

// The range carried over to the pattern's own 2θ scale (itself for Cu Kα); nothing when
// the pattern's wavelength cannot reach it.
std::optional<PeakRange> range_on_pattern_scale(const Pattern& pattern, const PeakRange& range);

// A width as it is shown, printed and written to width files: four decimals, '.' always.
std::string width_text(double width);

} // namespace teravine
