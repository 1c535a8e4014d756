// SPDX-License-Identifier: GPL-3.0-or-later
// Bruker/Siemens DIFFRAC-AT .uxd text: `_KEY=value` lines, then the counts of each range.
#pragma once

#include "formats/pattern_file.h"

#include <string>
#include <string_view>

namespace teravine {

// Every range of 2θ of the file, one scan each: the counts after `_COUNTS` or `_CPS` (2θ
// from `_START`, or `_2THETA`, at `_STEPSIZE`), or the 2θ and count pairs after
// `_2THETACOUNTS` or `_2THETACPS`. A key holds for every later range until it is stated
// again, so one `_DRIVE` or `_WL1` at the top serves them all. `_WL1`, `_WL2`, `_WLRATIO`,
// `_ANODE` and `_STEPTIME` are kept. Ranges that do not move 2θ (a `_DRIVE` of OMEGA,
// PHI, ...) are left out; a file with none is refused.
Outcome<PatternFile> read_uxd_scans(std::string_view content, const std::string& path);

// Whether the text starts like a UXD file: a `_2THETA=` or `_STEPSIZE=` line near the top.
bool looks_like_uxd(std::string_view content);

} // namespace teravine
