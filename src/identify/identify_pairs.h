// SPDX-License-Identifier: GPL-3.0-or-later
// Many points identified at once (a treated file, the samples after a change of
// Reichweite), shared out over the machine's cores. Every result is the one that
// identify_point gives for that point alone, so the caller can place them in order.
#pragma once

#include "identify/identify_point.h"

#include <span>
#include <vector>

namespace teravine {

// Point i is (ad[i], eg[i]); the shorter list decides how many there are. workers 0
// uses every core. A failure to allocate in a worker is rethrown here.
std::vector<Identification> identify_pairs(const Calibration& cal, const LineTables& tables,
                                           std::span<const float> ad, std::span<const float> eg,
                                           unsigned workers = 0);

} // namespace teravine
