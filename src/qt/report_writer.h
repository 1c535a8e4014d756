// SPDX-License-Identifier: GPL-3.0-or-later
// File > "Save Report…" on Qt: the window's session made into a report and written as PDF
// on a thread of Qt's pool (its patterns are read again and its figures drawn there), while
// the window keeps painting, takes no input, and says after a moment that it is writing.
#pragma once

#include "app/window_session.h"

#include <optional>
#include <string>

class QWidget;

namespace teravine {

// Nothing once written, else the failure to show.
std::optional<std::string> write_report_away(QWidget* window, const WindowSession& session,
                                             const std::string& path);

} // namespace teravine
