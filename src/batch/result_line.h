// SPDX-License-Identifier: GPL-3.0-or-later
// One sample's line of a result file: AD, EG, N, S, k, Nfp separated by tabs.
#pragma once

#include "identify/sample_values.h"

#include <string>

namespace teravine {

std::string result_line(float iw_ad, float iw_eg, const SampleValues& values, int nfp);

} // namespace teravine
