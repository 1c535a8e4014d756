// SPDX-License-Identifier: GPL-3.0-or-later
// A pattern pair measured into a sample of a named list, as `measure --pairs` and File >
// "Measure Folder…" measure it: each pattern as `measure` measures it, held against the
// instrument profile in use, and the sample carrying the widths as a width file holds them,
// with their u and quality.
#pragma once

#include "app/folder_pairs.h"
#include "app/lab_calibration.h"
#include "batch/sample_list_file.h"
#include "standards/measured_pattern.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace teravine {

// How every pattern of a list or folder is measured, and the broadening its samples state.
struct PairMeasuring {
    PatternChoice choice; // the same scan and wavelength for every file
    PeakRange range;
    WidthMethod method;
    std::optional<InstrumentProfile> instrument; // what each width is held against
    float broadening = 0;
    // The pattern the instrument profile was made from, read in the range: each air-dried
    // pattern's thickness distribution is analysed with it for the sample's N (profile).
    std::shared_ptr<const Pattern> standard;
    std::string standard_problem; // why the pairs take no N (profile), a profile in use
};

struct PairMeasurement {
    Outcome<Measured> ad; // each side, or why it could not be measured
    Outcome<Measured> eg;
    std::optional<ListedSample> sample; // when both sides were measured
    std::string n_profile_problem;      // why the sample has no N (profile), a standard given
};

// Looks once for the pattern the lab's instrument profile was made from, where the measuring
// dialog looks (standard_places, `pointed` first) and in `folder`, and reads it for the
// range and choice of `how`: its `standard`, or its `standard_problem` (empty without a
// profile).
void find_pair_standard(PairMeasuring& how, const LabCalibration& lab, const std::string& pointed,
                        const std::string& folder);

// Touches nothing shared: pairs may be measured on any number of threads at once.
PairMeasurement measure_pair(const PatternPair& pair, const PairMeasuring& how);

} // namespace teravine
