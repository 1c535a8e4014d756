// SPDX-License-Identifier: GPL-3.0-or-later
// Rigaku text patterns: .ras (SmartLab, MiniFlex, Ultima) and the older .asc (RINT).
#pragma once

#include "formats/pattern_file.h"

#include <string>
#include <string_view>

namespace teravine {

// Every block `*RAS_HEADER_START` ... `*RAS_INT_END` that scans 2θ is one scan: rows of 2θ,
// counts and an attenuator factor that multiplies the counts. The header's
// `*HW_XG_WAVE_LENGTH_ALPHA1`, `_ALPHA2`, `*HW_XG_TARGET_NAME`, `*MEAS_SCAN_UNIT_Y` (counts
// or cps) and the speed, step and mode that give the counting time are kept.
Outcome<PatternFile> read_ras_scans(std::string_view content, const std::string& path);

// Every group `*BEGIN` ... `*END` that scans 2θ is one scan: `*COUNT` counts after the
// group's `*START` at `*STEP`. `*WAVE_LENGTH1`, `*WAVE_LENGTH2`, `*TARGET`, `*YUNIT` and
// `*SPEED` with `*SPEED_DIM` (the counting time) are kept.
Outcome<PatternFile> read_asc_scans(std::string_view content, const std::string& path);

// Whether the text starts like a .ras file (`*RAS_DATA_START` or `*RAS_HEADER_START`).
bool looks_like_ras(std::string_view content);

// Whether the text starts like a Rigaku .asc file: `*START`, `*STOP`, `*STEP` and
// `*COUNT` keys near the top.
bool looks_like_asc(std::string_view content);

} // namespace teravine
