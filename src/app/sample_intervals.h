// SPDX-License-Identifier: GPL-3.0-or-later
// The intervals of placed samples: each over the region of its own u from its
// measurement, or of the table's sigma of both widths (0: none).
#pragma once

#include "identify/sample_list.h"
#include "model/broadening.h"
#include "model/calibration.h"

#include <cstddef>

namespace teravine {

// Samples [first, end): those under the sigma together on every core, those with their
// own u one by one; a sample with neither has no interval.
void measure_sample_intervals(const Calibration& cal, SampleList& samples, std::size_t first,
                              float sigma, const CorrectionTable& table);

} // namespace teravine
