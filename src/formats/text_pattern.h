// SPDX-License-Identifier: GPL-3.0-or-later
// Two-column text patterns (.xy, .txt, .dat, .csv): 2θ and counts on each line.
#pragma once

#include "formats/pattern_file.h"
#include "text/outcome.h"

#include <string>
#include <string_view>

namespace teravine {

// Reads the text of the file at `path` (which names it in messages). Blank lines and
// comment lines (starting with #, !, %, ; or *) are skipped anywhere, header lines before
// the first point. Columns are split by blanks, tabs, commas or semicolons, the separator
// being the first of ';', tab, ',' found on the line; with ';' or a tab a decimal comma
// is read as a point. A third column and any beyond are ignored. After the first point,
// a line that is not two numbers is refused, as is anything pattern_problem refuses.
Outcome<Pattern> read_text_pattern(std::string_view content, const std::string& path);

// The same as the one scan of a file of the format "two-column text".
Outcome<PatternFile> read_text_scans(std::string_view content, const std::string& path);

} // namespace teravine
