// SPDX-License-Identifier: GPL-3.0-or-later
// A point of the diagram into a sample: its values, its label and its four lines.
#pragma once

#include "identify/sample_list.h"
#include "identify/sample_values.h"
#include "lines/line_memo.h"
#include "lines/line_tables.h"
#include "model/calibration.h"
#include "model/polynomial.h"
#include "model/solvers.h"

#include <optional>
#include <string>

namespace teravine {

// All that identifying one point gives.
struct Identification {
    KPlace place;                       // where find_k put the point
    std::optional<SampleValues> values; // N, %S, k and Nfp, when inside and computable
    std::string failure;                // inside but not computable: why
    std::optional<PlacedSample> placed; // the sample with its label and four lines
};

// Locates (iw_ad, iw_eg) with the current tables. A point outside the model, or one
// whose N, %S or Nfp cannot be computed, is placed nowhere.
Identification identify_point(const Calibration& cal, float iw_ad, float iw_eg);

// The same sample, built with the line tables of cal's Reichweite (the plain builders
// run when they do not fit).
Identification identify_point(const Calibration& cal, const LineTables& tables, float iw_ad,
                              float iw_eg);

// The same again, taking the N, %S and Nfp lines from the memo when their values have
// been met before (for many points in a row).
Identification identify_point(const Calibration& cal, LineMemo& memo, float iw_ad, float iw_eg);

// The constant-k line through a located point: its mix of coef_eg at AD 0.01..1.10.
Line constant_k_line(const Calibration& cal, const InterpRecord& located);

} // namespace teravine
