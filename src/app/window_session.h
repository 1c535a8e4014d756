// SPDX-License-Identifier: GPL-3.0-or-later
// A saved session: one JSON file holding what restores the window — the Reichweite, the
// broadening rule and the typed broadening, the correction table with its path, the grid
// and identical-line switches, the label choice, the sigma and the ellipses, every
// sample with its name, where its widths came from and the doubts on them (and the mean
// layers of its air-dried pattern's profile, when the measuring dialog gave them), the samples
// that were not placed with their reasons, and the laboratory's calibration
// (the instrument profile in use and the CIS calibration, each held whole, so that the
// session opens elsewhere with them, and the zone limits). Read strictly: a file that is
// not such a session, or one of a later version, is refused whole. A session saved before
// sessions held a calibration opens without one, and one saved before they held the
// samples not placed, without them.
#pragma once

#include "app/lab_calibration.h"
#include "app/sample_table_text.h"
#include "diagram/draw_diagram.h"
#include "identify/sample_list.h"
#include "lines/line_store.h"
#include "model/broadening.h"
#include "text/outcome.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace teravine {

inline constexpr int kSessionVersion = 1;

struct SessionSample {
    float ad = 0; // the widths it is placed at
    float eg = 0;
    SampleOrigin origin;
};

struct WindowSession {
    std::int16_t reich = 1; // 1 R0, 2 R1, 3 R3
    std::int16_t broad_rule = kRuleMixture;
    std::string broadening_text; // the "Instrumental Broadening" box as typed
    CorrectionTable cor;
    std::string cor_label; // "Used File: ..." when a table was loaded
    GridSwitches grids_on;
    IdenticalSwitches identical_on;
    SampleLabels labels = SampleLabels::label;
    float sigma = 0;
    bool ellipses = false;
    std::vector<SessionSample> samples;
    std::vector<UnplacedSample> unplaced; // in the table after the samples, never drawn
    LabCalibration lab;
};

std::string session_json(const WindowSession& session);

// Failures name the file (`subject`) and what is wrong: not JSON (with the byte where it
// stops), not a Teravine session, a later version, a field missing or of the wrong kind
// or out of its range.
Outcome<WindowSession> read_session_text(std::string_view text, const std::string& subject);
Outcome<WindowSession> read_session_file(const std::string& path);

// "label", "name", "number", "none".
std::string_view labels_word(SampleLabels labels);

} // namespace teravine
