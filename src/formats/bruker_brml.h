// SPDX-License-Identifier: GPL-3.0-or-later
// Bruker .brml: a zip of XML, each Experiment*/RawData*.xml one scan. Its <Datum> rows
// are comma-separated; which columns are 2θ and counts the file's own <DataViews> say.
#pragma once

#include "formats/pattern_file.h"

#include <string>
#include <string_view>

namespace teravine {

Outcome<PatternFile> read_brml_scans(std::string_view bytes, const std::string& path);

} // namespace teravine
