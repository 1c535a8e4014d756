// SPDX-License-Identifier: GPL-3.0-or-later
// A report to hand on, as what it shows: the title and the line that says which program
// wrote it when, the diagram as a figure, the sample table, the laboratory's calibration
// and instrument profile, and the peaks of the measured samples. Built from a session
// (app/session_report), laid out on pages (report_layout) and written as PDF by the
// figure renderer. No toolkit here.
#pragma once

#include "diagram/diagram_scene.h"
#include "diagram/peak_drawing.h"
#include "diagram/surface.h"
#include "formats/pattern.h"
#include "standards/cis_calibration.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace teravine {

struct ReportTable {
    std::vector<std::string> titles;
    std::vector<std::vector<std::string>> rows;
    // Cells drawn in red (a doubtful width), by row and column; may be shorter than rows.
    std::vector<std::vector<bool>> marked;
    std::vector<bool> greyed; // rows drawn in grey (samples not placed)
    // The first columns, repeated in each part of a table too wide for the page.
    std::size_t key_columns = 0;
};

// One measured sample's two patterns, read again from where the session records them.
struct ReportPeaks {
    std::string heading;            // "Sample 3: Quarry B7"
    std::vector<PeakPanel> panels;  // AD, EG: their patterns in ReportDocument::patterns
    std::vector<std::string> notes; // what was placed, and what differs now
};

// A section of text lines, wrapped to the page.
struct ReportSection {
    std::string heading;
    std::vector<std::string> lines;
};

struct ReportDocument {
    std::string title;                // "Teravine report"
    std::string source;               // "Session afternoon.json", or empty
    std::string stamp;                // "Teravine 1.3.0, 2025-12-08 14:05"
    std::vector<std::string> summary; // under the title
    std::unique_ptr<DiagramScene> diagram;
    ReportTable samples;
    std::vector<std::string> sample_notes; // under the table: what its columns hold
    // The instrument profile and the CIS calibration, each when the session holds it.
    std::optional<ReportSection> profile;
    std::optional<ReportSection> calibration;
    ReportTable standards;
    std::optional<CisCalibration> cis;
    std::optional<ZoneLimits> cis_limits; // those that judge its index
    // The peaks section: a pair per measured sample, and the files that could not be read.
    std::vector<ReportPeaks> peaks;
    std::vector<std::string> peak_notes;
    std::vector<std::unique_ptr<Pattern>> patterns; // what the panels draw
};

} // namespace teravine
