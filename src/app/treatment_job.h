// SPDX-License-Identifier: GPL-3.0-or-later
// A width file or a sample list being treated and placed a slice of samples at a time.
#pragma once

#include "batch/sample_list_file.h"
#include "batch/treatment.h"
#include "batch/width_file.h"
#include "text/text_file.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace teravine {

struct TreatmentJob {
    WidthFile measured;            // as read, before the broadening is removed
    WidthFile corrected;           // what the run treats
    std::optional<NamedList> list; // a sample list's names, u and quality; none for a file
    std::string action;            // what the status line names a list's placing by
    LineWriter out;                // the result file; nothing opened for a list
    std::unique_ptr<TreatmentRun> run;
    std::size_t first = 0; // the first sample the job placed
    bool room = true;      // false once the sample limit left some out
};

} // namespace teravine
