// SPDX-License-Identifier: GPL-3.0-or-later
// The width of the illite 001 peak of a pattern: full width at half maximum by the
// direct half-height method above the background of the range's flanks, with the integral
// breadth, the position, the net height, the FWHM's uncertainty from counting statistics
// and what makes the reading doubtful.
#pragma once

#include "formats/pattern.h"
#include "text/outcome.h"

#include <optional>
#include <string>
#include <vector>

namespace teravine {

// The 2θ range searched, on the Cu Kα scale: wide enough for the broad, shifted peaks
// of mixed-layer illite, clear of chlorite 001 near 6.2° and the 7 Å peaks near 12.4°.
struct PeakRange {
    double lo = 6.5;
    double hi = 11.5;
};

struct PeakWidth {
    // On the Cu Kα scale, the one the diagram is calibrated on.
    double position = 0;        // 2θ of the top of the net peak
    double fwhm = 0;            // °Δ2θ
    double breadth = 0;         // net area over net height, °Δ2θ
    double height = 0;          // net counts at the top
    double u_fwhm = 0;          // standard uncertainty of fwhm from Poisson counts
    bool converted = false;     // the pattern's anode was not Cu: the figures were carried over
    std::string quality = "ok"; // "ok", or the reasons to doubt the width joined by ';'

    // On the pattern's own scale, for drawing the measurement.
    double range_lo = 0, range_hi = 0;           // the range searched
    double background_lo = 0, background_hi = 0; // the straight background at its ends
    double left = 0, right = 0;                  // the two half-height crossings
    double top = 0;                              // 2θ of the top
    double peak_lo = 0, peak_hi = 0;             // the peak's own extent, its area's bounds

    // For a peak that reaches a flank window: a range on the Cu Kα scale that would hold it,
    // and whether the pattern reaches as far as that range would go.
    std::optional<PeakRange> holding;
    bool holding_whole = true;
};

// The reasons a width is doubtful, as the quality column names them.
inline constexpr const char* kWeak = "weak";   // net height below 10 σ of the noise
inline constexpr const char* kEdge = "edge";   // the top lies in a flank window
inline constexpr const char* kFlank = "flank"; // a crossing or the tail reaches a flank window
inline constexpr const char* kShoulder = "shoulder"; // a second maximum within the peak
inline constexpr const char* kBreadth = "breadth";   // breadth / FWHM no single peak gives
inline constexpr const char* kUnstable = "unstable"; // resampled counts often find no width
inline constexpr const char* kSparse = "sparse";     // fewer than three steps across the FWHM

// "ok" for no reasons, else the reasons joined by ';'.
std::string quality_text(const std::vector<std::string>& reasons);

struct CountScale;

// The background runs through the two flanks of the range, each flank the mean of the lower
// half of the points of a window (a tenth of the range's points) at the range's end, raised
// by what counting noise lowers such a mean by: a straight line, or on a steep low-angle
// rise a curve (peak_background); the peak's own tails in the flank windows, extrapolated from its
// widths at half and a fifth of its height, are taken out of them first. The net counts are
// smoothed by local parabolas (Savitzky-Golay) over about a fifth of the peak's width, which leaves
// a peak's shape and takes most of the counting noise out. The peak is the highest point of the
// smoothed net profile; its height and 2θ come from a parabola through the logarithms of the net
// counts above four fifths of it. The walks go outward from the top on the smoothed profile; a dip
// below half height that rises again within the smoothing's reach is noise and is walked
// over. Each crossing is interpolated between the two smoothed points that bracket it. The
// integral breadth is the net area between the peak's own bounds (where its smoothed net
// profile meets the background, or the lowest point before a neighbouring peak) over the
// net height. u_fwhm is the scatter of the widths read again on counts drawn by Poisson
// from the smoothed profile (a fixed seed: the same pattern gives the same u), so it grows
// as the reading becomes unsteady.
// A peak whose top lies in a flank window is at the edge; one whose half-height crossing
// lies there, or whose net counts rise across a flank window towards it by a twentieth of
// its height beyond the noise, or whose width the tails taken out moved by more than 2 %
// and twice its u, reaches the flank: its width rests on its tails' extrapolation.
// Intensities that are not counts are read on the count scale of count_scale(), or of
// `scale` where given; the heights are given back in the pattern's own.
// Fails, naming the pattern, when the range (carried over to the pattern's wavelength) is
// not inside the pattern's 2θ span, when it holds too few points, has no peak (flat or
// monotone, or a net height below three standard deviations of the background's counting
// noise), or the half height is not reached within the range (the message names a range
// that would hold the peak). Doubtful readings are given with their reasons.
// With Uncertainty::skipped the resamples are left out (u_fwhm is then NaN): a start for
// a fit needs no uncertainty, and the resamples take most of the reading's time.
enum class Uncertainty { resampled, skipped };
Outcome<PeakWidth> measure_peak(const Pattern& pattern, const PeakRange& range = {},
                                Uncertainty uncertainty = Uncertainty::resampled);
Outcome<PeakWidth> measure_peak(const Pattern& pattern, const PeakRange& range,
                                Uncertainty uncertainty, const CountScale& scale);

// The range carried over to the pattern's own 2θ scale (itself for Cu Kα); nothing when
// the pattern's wavelength cannot reach it.
std::optional<PeakRange> range_on_pattern_scale(const Pattern& pattern, const PeakRange& range);

// A width as it is shown, printed and written to width files: four decimals, '.' always.
std::string width_text(double width);

} // namespace teravine
