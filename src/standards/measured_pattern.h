// SPDX-License-Identifier: GPL-3.0-or-later
// A pattern file read and the peak of its chosen scan measured, as `measure` measures it
// and a folder of pairs is measured, and the width held against an instrument profile.
#pragma once

#include "formats/read_pattern.h"
#include "peaks/peak_width.h"
#include "peaks/width_method.h"
#include "standards/instrument_profile.h"
#include "text/outcome.h"

#include <optional>
#include <string>

namespace teravine {

struct Measured {
    std::string file; // the path as given
    Pattern pattern;
    PeakWidth width;                    // by the method chosen
    std::string method = "half-height"; // its name, as the method column gives it
    std::optional<ProfileFit> fit;      // with the fit method
    std::optional<double> wavelength;   // when carried over from another anode
    bool wavelength_given = false; // that wavelength the user's (an anode named), else the file's
    std::string scan_note;         // which scan of several was taken, when it was chosen
};

// Reads the pattern at path, the scan and wavelength chosen (of several scans, the only one
// that covers the range where none is chosen), and measures its peak in the range by the
// method.
Outcome<Measured> measure_file(const std::string& path, const PatternChoice& choice,
                               const PeakRange& range, const WidthMethod& method = {});

// The measured width's quality with the reasons it earns against the profile, if any,
// measured in the range by the method.
void flag_against(Measured& m, const std::optional<InstrumentProfile>& profile,
                  const WidthMethod& method, const PeakRange& range);

} // namespace teravine
