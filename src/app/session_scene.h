// SPDX-License-Identifier: GPL-3.0-or-later
// A saved session's diagram as the window shows it once the session is opened: its
// Reichweite, lines and labels, its samples identified again at their widths with their
// names, origins and intervals, and the samples it lists as not placed. `plot --session`
// and the report draw it.
#pragma once

#include "app/sample_table_text.h"
#include "app/window_session.h"
#include "diagram/diagram_scene.h"
#include "identify/identify_point.h"

#include <memory>
#include <vector>

namespace teravine {

struct SessionScene {
    std::unique_ptr<DiagramScene> diagram;
    // As the window's table lists them: a sample that no longer places (a session edited by
    // hand) with its reason, then those the session saved as not placed.
    std::vector<UnplacedSample> unplaced;
};

// A session's sample that no longer places, as the table lists it: its widths as measured
// (as placed for a click), the reason, and the widths it was to be placed at.
UnplacedSample no_longer_placed(const SessionSample& sample, const Identification& found);

// With `caption`, the line a saved figure carries: the rule and broadening the samples were
// corrected with (those of the session's boxes when none was), and σ when the ellipses show.
SessionScene session_scene(const WindowSession& session, bool caption);

} // namespace teravine
