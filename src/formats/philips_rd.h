// SPDX-License-Identifier: GPL-3.0-or-later
// Philips PC-APD raw scans (.rd, .sd), versions 3 ("V3RD") and 5 ("V5RD"): one scan of
// evenly stepped 2θ, the tube's anode named by its number.
#pragma once

#include "formats/pattern_file.h"

#include <string>
#include <string_view>

namespace teravine {

bool looks_like_philips_rd(std::string_view bytes);

Outcome<PatternFile> read_philips_rd_scans(std::string_view bytes, const std::string& path);

} // namespace teravine
