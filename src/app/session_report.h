// SPDX-License-Identifier: GPL-3.0-or-later
// A session made into a report to hand on (teravine-cli report, File > "Save Report…"):
// the diagram as `plot --session --caption` draws it, the sample table with how each
// sample's widths were taken and corrected and the doubts on them, the instrument profile
// and the CIS calibration the session holds, and the peaks of the samples measured from
// patterns, read again from their files.
#pragma once

#include "app/window_session.h"
#include "diagram/report_document.h"

#include <ctime>
#include <string>

namespace teravine {

struct ReportStamp {
    std::string version; // the program's
    std::string date;    // report_date()
    std::string source;  // what the report is of: "Session afternoon.json"; may be empty
};

// "2025-12-08 14:05", local time.
std::string report_date(std::time_t when);

// Reads the pattern files of the measured samples: on the window's side, away from its
// thread.
ReportDocument session_report(const WindowSession& session, const ReportStamp& stamp);

} // namespace teravine
