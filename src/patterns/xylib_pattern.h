// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument formats that xylib reads (Bruker RAW and UXD, Philips RD and UDF,
// Rigaku DAT, Sietronics CPI and the rest): the first block's first two columns.
#pragma once

#include "patterns/pattern.h"
#include "text/outcome.h"

#include <string>

namespace teravine {

// Reads the file at `path`, the format told by xylib from its name and content.
// Refuses a format xylib does not know, a file it cannot read, and what
// pattern_problem refuses.
Outcome<Pattern> read_xylib_pattern(const std::string& path);

} // namespace teravine
