// SPDX-License-Identifier: GPL-3.0-or-later
// Rigaku .rasx: a zip holding, for each scan, Data*/Profile*.txt (rows of 2θ, counts and
// the attenuator's factor, which multiplies the counts) and the measurement conditions
// beside it (Data*/MesurementConditions*.xml, so spelt by Rigaku).
#pragma once

#include "formats/pattern_file.h"

#include <string>
#include <string_view>

namespace teravine {

Outcome<PatternFile> read_rasx_scans(std::string_view bytes, const std::string& path);

} // namespace teravine
