// SPDX-License-Identifier: GPL-3.0-or-later
// A pattern file read and its peak's width taken, as every front end measures one: of a
// file of several scans without a choice, the only scan that covers the range.
#pragma once

#include "formats/read_pattern.h"
#include "peaks/width_method.h"
#include "text/outcome.h"

#include <string>

namespace teravine {

struct FileReading {
    Pattern pattern;       // the scan measured
    MethodReading reading; // its width by the method
    std::string scan_note; // which scan of several was taken, when it was chosen
};

// Reads the pattern at path, the scan and wavelength chosen (of several scans, the only one
// that covers the range where none is chosen, named in scan_note), and reads its width in
// the range by the method. A failure to measure the scan taken names it first.
Outcome<FileReading> read_file_width(const std::string& path, const PatternChoice& choice,
                                     const PeakRange& range, const WidthMethod& method);

} // namespace teravine
