// SPDX-License-Identifier: GPL-3.0-or-later
// A report written as a PDF of A4 pages (diagram/report_layout), its diagram placed as
// write_diagram_figure places one on a page. No Qt type here, so the command-line tool
// uses it as it is.
#pragma once

#include "diagram/report_document.h"

#include <optional>
#include <string>

namespace teravine {

// Nothing on success, else the failure naming the file; the file is written whole, so a
// failure leaves an older file of that name as it was.
std::optional<std::string> write_report_pdf(const std::string& path,
                                            const ReportDocument& document);

} // namespace teravine
