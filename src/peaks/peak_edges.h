// SPDX-License-Identifier: GPL-3.0-or-later
// A peak that reaches the flank windows of its range, where the background is taken, is
// read against a background that holds its own tail: such a reading is flagged, and the
// user is told a range that would hold the peak.
#pragma once

#include "formats/pattern.h"
#include "peaks/peak_width.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace teravine {

// The flank windows of the points first..last: a tenth of them at each end, three at least.
std::size_t flank_window(std::size_t first, std::size_t last);

// The rise of the net counts across a flank window towards the peak, from a straight line
// fitted to them, and its standard deviation from the counts' own noise. Points
// from..to inclusive; `towards` +1 when the peak lies above them in 2θ, -1 below.
struct FlankRise {
    double rise = 0;
    double sigma = 0;
};
FlankRise flank_rise(const std::vector<double>& x, const std::vector<double>& net,
                     const std::vector<double>& counts, std::size_t from, std::size_t to,
                     int towards);

// A tail that rises across a flank window by a twentieth of the peak's height, and by four
// standard deviations of the noise, reaches it.
bool tail_reaches(const FlankRise& rise, double height);

// A range on the Cu Kα scale whose flank windows lie three widths or more from the top of
// a peak at `top` of that FWHM (both on the pattern's own scale), measured in lo..hi;
// rounded outwards to a tenth of a degree and kept within the pattern.
struct HoldingRange {
    PeakRange range;
    bool whole = true; // false when the pattern ends before the range would
};
std::optional<HoldingRange> holding_range(const Pattern& pattern, double lo, double hi, double top,
                                          double fwhm);

// A range as --range takes it: "11.8:13.2".
std::string peak_range_text(const PeakRange& range);

// For a width flagged edge or flank: "a range of 3.9:11.5 would hold the peak", or what
// the pattern lacks to hold it; empty otherwise.
std::string edge_advice(const PeakWidth& width);

} // namespace teravine
