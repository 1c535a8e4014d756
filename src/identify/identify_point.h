// SPDX-License-Identifier: GPL-3.0-or-later
// A point of the diagram into a sample: its values, its label and its four lines.
#pragma once

#include "identify/sample_list.h"
#include "lines/line_memo.h"
#include "lines/line_tables.h"
#include "model/calibration.h"
#include "model/polynomial.h"

#include <optional>

namespace teravine {

// Locates (iw_ad, iw_eg) with the current tables. A point outside the model, or one
// whose N, %S or Nfp cannot be computed, gives nothing. find_k may move iw_eg onto
// the diagonal and fills interp when it accepts the point.
std::optional<PlacedSample> identify_point(Calibration& cal, InterpRecord& interp, float iw_ad,
                                           float& iw_eg);

// The same sample, built with the line tables of cal's Reichweite (the plain builders
// run when they do not fit).
std::optional<PlacedSample> identify_point(Calibration& cal, const LineTables& tables,
                                           InterpRecord& interp, float iw_ad, float& iw_eg);

// The same again, taking the N, %S and Nfp lines from the memo when their values have
// been met before (for many points in a row).
std::optional<PlacedSample> identify_point(Calibration& cal, LineMemo& memo, InterpRecord& interp,
                                           float iw_ad, float& iw_eg);

// The constant-k line through the last located point: row 6 of coef_eg at AD 0.01..1.10.
Line constant_k_line(const Calibration& cal);

} // namespace teravine
