// SPDX-License-Identifier: GPL-3.0-or-later
// Two archive text formats of one scan each: Philips .udf and Sietronics .cpi.
#pragma once

#include "formats/pattern_file.h"

#include <string>
#include <string_view>

namespace teravine {

// Philips .udf: `Key, value,/` lines, then the counts after `RawScan`, separated by commas
// and closed by '/'. 2θ from `DataAngleRange` at `ScanStepSize`; `LabdaAlpha1`,
// `LabdaAlpha2`, `RatioAlpha21`, `Anode` and `ScanStepTime` are kept.
Outcome<PatternFile> read_udf_scans(std::string_view content, const std::string& path);

// Sietronics .cpi: "SIETRONICS XRD SCAN", then start, end and step of 2θ, the anode and
// the wavelength on their own lines, notes up to `SCANDATA`, then one count a line.
Outcome<PatternFile> read_cpi_scans(std::string_view content, const std::string& path);

// Whether the text starts like a .udf file: `DataAngleRange,` and `ScanStepSize,` lines.
bool looks_like_udf(std::string_view content);

// Whether the text starts like a .cpi file: its first line "SIETRONICS XRD SCAN".
bool looks_like_cpi(std::string_view content);

} // namespace teravine
