// SPDX-License-Identifier: GPL-3.0-or-later
// Everything one pattern file holds: its format and its scans, in file order.
#pragma once

#include "formats/pattern.h"
#include "text/outcome.h"

#include <string>
#include <string_view>
#include <vector>

namespace teravine {

struct PatternFile {
    std::string format;         // the format's name as `pattern --info` prints it
    std::vector<Pattern> scans; // at least one once read
    std::string sha256 = {};    // of the bytes read, when it was asked for; else empty
};

// One format's reader: the file's bytes and its path, which names it in messages. Every
// scan it returns has passed pattern_problem (checked_scans does this).
using ScanReader = Outcome<PatternFile> (*)(std::string_view bytes, const std::string& path);

// The scans, each named after the file and checked by pattern_problem; a problem in scan i
// of several is told as 'The file "x", scan 2, ...'. A file without scans is refused.
Outcome<PatternFile> checked_scans(PatternFile file, const std::string& path);

} // namespace teravine
