// SPDX-License-Identifier: GPL-3.0-or-later
// A pattern pair measured into a sample of a named list, as `measure --pairs` and File >
// "Measure Folder…" measure it: each pattern as `measure` measures it, held against the
// instrument profile in use, and the sample carrying the widths as a width file holds them,
// with their u and quality.
#pragma once

#include "app/folder_pairs.h"
#include "batch/sample_list_file.h"
#include "standards/measured_pattern.h"

#include <optional>

namespace teravine {

// How every pattern of a list or folder is measured, and the broadening its samples state.
struct PairMeasuring {
    PatternChoice choice; // the same scan and wavelength for every file
    PeakRange range;
    WidthMethod method;
    std::optional<InstrumentProfile> instrument; // what each width is held against
    float broadening = 0;
};

struct PairMeasurement {
    Outcome<Measured> ad; // each side, or why it could not be measured
    Outcome<Measured> eg;
    std::optional<ListedSample> sample; // when both sides were measured
};

// Touches nothing shared: pairs may be measured on any number of threads at once.
PairMeasurement measure_pair(const PatternPair& pair, const PairMeasuring& how);

} // namespace teravine
