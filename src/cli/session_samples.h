// SPDX-License-Identifier: GPL-3.0-or-later
// The samples of a saved session as the window placed them: identified again at their
// widths under the session's Reichweite, with their names, origins and intervals.
#pragma once

#include "app/window_session.h"
#include "identify/sample_list.h"
#include "model/calibration.h"

namespace teravine::cli {

// Samples outside the model (none, in a session the window saved) are left out.
SampleList session_samples(const WindowSession& session, const Calibration& cal);

} // namespace teravine::cli
