// SPDX-License-Identifier: GPL-3.0-or-later
// The threads a picture drawn in bands runs on: one a band, the first on the caller's.
#pragma once

#include <functional>

namespace teravine {

// One band a core, at most 4.
int most_band_threads();

// Runs draw_band(0) .. draw_band(bands - 1) at once, 0 on the calling thread and each
// other on its own (on the calling thread after 0 when no thread can be started). Returns
// when all have ended; the first exception any of them threw is thrown again then.
void run_bands(int bands, const std::function<void(int band)>& draw_band);

} // namespace teravine
