// SPDX-License-Identifier: GPL-3.0-or-later
// PANalytical XRDML patterns: the first scan of the first measurement.
#pragma once

#include "patterns/pattern_file.h"
#include "text/outcome.h"

#include <string>
#include <string_view>

namespace teravine {

// Reads the XML text of the file at `path` (which names it in messages): the
// <intensities> or <counts> of the first scan's data points, 2θ spread evenly from
// startPosition to endPosition of the 2Theta axis (or listed by listPositions), and the
// stated kAlpha1 wavelength. Refuses what is not XML, holds no scan, or whose numbers
// do not match.
Outcome<Pattern> read_xrdml_pattern(std::string_view content, const std::string& path);

// The same as a file of the format "XRDML".
Outcome<PatternFile> read_xrdml_scans(std::string_view content, const std::string& path);

// Whether the text looks like XRDML whatever the file is called.
bool looks_like_xrdml(std::string_view content);

} // namespace teravine
