// SPDX-License-Identifier: GPL-3.0-or-later
// A report laid out on A4 pages and drawn: the title, the diagram as a figure and the
// sample table on the first page, a table too long going on over the pages after it and
// one too wide split into parts that repeat its first columns; then the calibration and
// the measured peaks, each from a new page unless half of the page is still free; every
// page footed with the program, the date and its number. Drawn through a Surface, so no toolkit
// here; only placing the diagram as a figure is the device's.
#pragma once

#include "diagram/report_document.h"
#include "diagram/surface.h"
#include "peaks/peak_plot.h"

namespace teravine {

// A4 in user units of one screen pixel (1/96 inch), and the margin around what it holds.
inline constexpr double kReportPageWidth = 210 / 25.4 * 96;
inline constexpr double kReportPageHeight = 297 / 25.4 * 96;
inline constexpr double kReportMargin = 15 / 25.4 * 96;

class ReportDevice {
public:
    virtual ~ReportDevice() = default;
    // The page being drawn, one user unit a screen pixel from its top-left corner.
    virtual Surface& page() = 0;
    virtual void next_page() = 0;
    // The diagram as a saved figure within `area`, as large as it allows; drawn first on
    // its page, it may paint the whole page white.
    virtual void draw_diagram(const DiagramContent& content, const WorldWindow& world,
                              const PlotArea& area) = 0;
};

// Lays the document out, measuring its text on the device's page, and draws every page.
// Returns the number of pages.
int draw_report(ReportDevice& device, const ReportDocument& document);

} // namespace teravine
