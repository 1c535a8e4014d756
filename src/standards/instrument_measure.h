// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument profile measured on a standard's pattern: one sharp peak near the illite
// 001 measured exactly as a sample's peak, or several peaks of a line-profile standard
// whose widths are carried to the 001 angle by the width against angle.
#pragma once

#include "formats/read_pattern.h"
#include "peaks/width_method.h"
#include "standards/instrument_profile.h"
#include "text/outcome.h"

#include <string>
#include <vector>

namespace teravine {

// A mica's 001 (near 8.8–8.9° 2θ Cu Kα) with room for its background on either side.
inline constexpr PeakRange kStandardRange{8.0, 9.8};

struct InstrumentRequest {
    PeakRange range = kStandardRange; // the one peak, without `peaks`
    std::vector<PeakRange> peaks;     // the peaks of a line-profile standard
    double angle = kIllite001Angle;   // where the width against angle is evaluated
    WidthMethod method;
};

// One peak measured, with what a sample's measurement would say of it.
struct StandardPeak {
    PeakWidth width;
    std::string method; // as the method column gives it
};

struct MeasuredInstrument {
    InstrumentProfile profile;
    std::vector<StandardPeak> peaks; // in the order asked
    std::string scan_note;           // which scan of several was taken, when it was chosen
};

// Measures the pattern as the request says. The profile's standard is the pattern's
// name; its digest is left to the caller, who read the file.
Outcome<MeasuredInstrument> measure_instrument(const Pattern& pattern,
                                               const InstrumentRequest& request);

// The span of every peak the request measures, for the choice of the scan that covers it.
CopperSpan instrument_span(const InstrumentRequest& request);

// Reads the file (the scan and wavelength chosen; of several scans without a choice, the
// only one that covers the choice's range, else every peak of the request, named in the
// measurement's scan_note), measures it, and states its digest.
Outcome<MeasuredInstrument> measure_instrument_file(const std::string& path,
                                                    const PatternChoice& choice,
                                                    const InstrumentRequest& request);

} // namespace teravine
