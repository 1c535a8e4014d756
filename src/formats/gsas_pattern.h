// SPDX-License-Identifier: GPL-3.0-or-later
// GSAS standard powder data files (.gsa, .gsas, .fxye): a title, then banks of data.
#pragma once

#include "formats/pattern_file.h"

#include <string>
#include <string_view>

namespace teravine {

// Every constant-step bank (`BANK n points records CONST start step ... type`, 2θ in
// centidegrees) is one scan, its data laid out as STD (ten fields of 8 characters a
// record: a 2-character count of counters and a 6-character intensity), ESD (five pairs
// of intensity and its uncertainty in fields of 8), or FXY / FXYE (2θ in centidegrees,
// intensity and uncertainty, free format). Time-of-flight banks (RALF, SLOG, ...) have
// no 2θ and are left out; a file with no constant-step bank is refused.
Outcome<PatternFile> read_gsas_scans(std::string_view content, const std::string& path);

// Whether the text holds a GSAS bank line near its top: `BANK` and a number at the start
// of a line, and a GSAS binning word (CONST, RALF, SLOG, ...) after it.
bool looks_like_gsas(std::string_view content);

} // namespace teravine
