// SPDX-License-Identifier: GPL-3.0-or-later
// PANalytical XRDML patterns, versions 1.x and 2.x: every scan of every measurement.
#pragma once

#include "formats/pattern_file.h"
#include "text/outcome.h"

#include <string>
#include <string_view>

namespace teravine {

// Reads the XML text of the file at `path` (which names it in messages): each <scan> of
// each <xrdMeasurement> is one scan, its <intensities> or <counts> (counts or counts per
// second as their unit says) multiplied by its <beamAttenuationFactors>, 2θ spread evenly
// from startPosition to endPosition of the 2Theta axis or listed by listPositions, the
// counting time of <commonCountingTime> or <countingTimes> (counts of unequal times are
// turned into counts per second), and the measurement's kAlpha1, kAlpha2, their ratio and
// the tube's anodeMaterial. Scans that hold 2θ fixed (rocking curves) are left out.
// Refuses what is not XML, holds no scan, whose numbers do not match, or whose markup is
// beyond any instrument's (too many elements, too deep).
Outcome<PatternFile> read_xrdml_scans(std::string_view content, const std::string& path);

// Whether the text looks like XRDML whatever the file is called.
bool looks_like_xrdml(std::string_view content);

} // namespace teravine
