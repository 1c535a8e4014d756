// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a correction file (.cor), what the "File table" option reads, without
// the dialog: a title line (dropped), the grid step and start of the corrected widths,
// then one measured width per table entry until the end of the file, at most 501.
#pragma once

#include "model/broadening.h"

#include <string>
#include <string_view>

namespace teravine {

struct CorrectionRead {
    // What was read. On success the whole table; on a failure the step and start if
    // they were read, and the entries read before the failure, counted by cor_count.
    CorrectionTable table;
    // The description of the failure; empty when the whole file was read.
    std::string error;

    bool ok() const { return error.empty(); }
};

// Failures: the file cannot be opened or read; it is empty; it is not plain text; it ends
// before the grid step or start (a title line only); an item is not a number; a 502nd
// measured width; a measured width not above the one before it (the message names the
// first such entry). Number items follow text/number_items.h.
CorrectionRead read_correction_text(std::string_view content);
CorrectionRead read_correction_file(const std::string& path);

} // namespace teravine
