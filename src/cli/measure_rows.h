// SPDX-License-Identifier: GPL-3.0-or-later
// What `measure` prints and writes of a measured pattern: the widths as fixed-decimal
// text (always '.'), the tab-separated rows, and the notes on standard error.
#pragma once

#include "formats/read_pattern.h"
#include "peaks/peak_width.h"
#include "standards/measured_pattern.h"

#include <optional>
#include <string>
#include <vector>

namespace teravine::cli {

inline constexpr const char* kMeasureHeader =
    "side\tfile\tposition\tfwhm\tbreadth\theight\tu_fwhm\tmethod\tquality";

// Said on standard error after widths taken by a fit.
inline constexpr const char* kFitNote =
    "The fitted widths are those of the K-alpha1 profile, the K-alpha2 line fitted apart: "
    "measure the instrument's broadening by the same method on the standard.";

// The columns after side and file, joined by `separator`.
std::string measured_columns(const Measured& m, char separator);

// "AD\tfile\t..." for the header above.
std::string measured_row(const std::string& side, const Measured& m);

// What standard error says of a measured side, a line each: that the widths were carried
// over to the Cu Kα scale, how the counts' noise was found where they are not counts, and a
// range that would hold a peak that reaches the flank of its range.
std::vector<std::string> measure_notes(const std::string& side, const Measured& m);

// "LO:HI" as degrees 2θ Cu Kα, LO below HI.
std::optional<PeakRange> parse_range(const std::string& text);
// A range as --range takes it: "11.8:13.2".
std::string range_text(const PeakRange& range);

// The refusal of a --range that parse_range does not take, with an example such as "6.5:11.5".
std::string range_refusal(const std::string& example);

} // namespace teravine::cli
