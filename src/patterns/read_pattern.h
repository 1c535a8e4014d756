// SPDX-License-Identifier: GPL-3.0-or-later
// Any pattern file Teravine reads, its reader chosen by the file's suffix and content.
#pragma once

#include "patterns/pattern.h"
#include "text/outcome.h"

#include <string>

namespace teravine {

// .xrdml (or XRDML content under any name) by the XRDML reader; .xy, .txt, .csv and
// .dat by the two-column reader (a .dat that is not two columns then goes to xylib, as
// Rigaku's does); everything else by xylib. Files over 64 MiB and files that are not
// regular files are refused before they are read.
Outcome<Pattern> read_pattern_file(const std::string& path);

} // namespace teravine
