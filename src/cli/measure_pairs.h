// SPDX-License-Identifier: GPL-3.0-or-later
// measure --pairs and --folder: every pair of patterns of a list, or of a folder paired by
// their names, measured on every core into a width file (.IW) that `treat` and the window's
// "Treat File" read, or a named list, and optionally a CSV of every measurement.
#pragma once

#include "app/folder_pairs.h"
#include "formats/read_pattern.h"
#include "peaks/peak_width.h"
#include "peaks/width_method.h"
#include "standards/instrument_profile.h"

#include <optional>

#include <string>

namespace teravine::cli {

struct PairsJob {
    std::string list;       // CSV: name,ad,eg; the paths relative to the list's folder
    std::string folder;     // or the folder whose patterns are paired by their names
    PairingRule rule;       // how they are paired
    std::string output;     // the width file; "-" for standard output
    std::string csv;        // every measurement, when not empty
    std::string broadening; // as typed; empty for 0
    PeakRange range;
    PatternChoice choice; // the same scan and wavelength for every file of the list
    WidthMethod method;   // the same for every file
    std::optional<InstrumentProfile> instrument; // what each width is held against
    std::string instrument_file;                 // the profile's file, which no output replaces
};

// The files of a folder that could not be paired are named on standard error with the
// reason, and a folder of no pair is refused; they change no exit status. A pair that
// cannot be measured is named on standard error and left out of the width file; a pair with
// a doubtful width is written and named there with its reasons; the summary on standard
// error counts both. An output ending in .csv is a named list that
// keeps each width's u and quality. The exit status.
int run_measure_pairs(const PairsJob& job);

} // namespace teravine::cli
