// SPDX-License-Identifier: GPL-3.0-or-later
// Bruker (Siemens) DIFFRAC .raw files, versions 1 ("RAW "), 2 ("RAW2"), 3 ("RAW1.01")
// and 4 ("RAW4.00"): every range of 2θ becomes a scan.
#pragma once

#include "formats/pattern_file.h"

#include <string>
#include <string_view>

namespace teravine {

// Whether the bytes start with the magic of one of the four versions.
bool looks_like_bruker_raw(std::string_view bytes);

Outcome<PatternFile> read_bruker_raw_scans(std::string_view bytes, const std::string& path);

} // namespace teravine
