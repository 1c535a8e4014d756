// SPDX-License-Identifier: GPL-3.0-or-later
// The report's peaks: each sample placed from the measuring dialog has its two patterns
// read again where its measurement records them, measured again in its range by its
// method, and drawn as the dialog drew them, beside what was placed. A file that cannot be
// read any more is named, and one whose bytes changed since is said to have.
#pragma once

#include "diagram/report_document.h"
#include "identify/sample_list.h"

namespace teravine {

void add_measured_peaks(ReportDocument& document, const SampleList& samples);

} // namespace teravine
