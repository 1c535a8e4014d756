// SPDX-License-Identifier: GPL-3.0-or-later
// The line the status bar shows after an action: what it did, or why it did nothing.
// The reasons a pair is not placed are worded as the treatment's CSV words them.
#pragma once

#include "identify/identify_point.h"
#include "identify/sample_list.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace teravine {

// "Sample 7 placed: N 24, %S 4.88" (number counts from 1).
std::string placed_status(std::size_t number, const SampleRecord& record);

// "k 1.17, N 24, %S 4.88, Nfp 11": what a pair will give before it is drawn.
std::string preview_status(const SampleRecord& record);

// "0.70, 0.25 not placed: below the k = 3 curve": the widths as identified (after the
// broadening was removed; -1 for a width the rule could not correct) and why.
std::string not_placed_status(float ad, float eg, const Identification& found, std::int16_t rule);

// "below the k = 3 curve": why such a pair is not placed, as the treatment's CSV says it.
std::string not_placed_reason(float ad, float eg, const Identification& found, std::int16_t rule);

// ", 2 outside the calibrated range": what the status bar adds when samples [first, end)
// include some beyond the diagram's axes; empty when none is.
std::string beyond_range_note(const SampleList& samples, std::size_t first);

// "Treat File: 9 samples, 6 placed, 3 not placed", and what went wrong after it.
std::string treat_status(int samples, int placed, bool result_written);

// A width as the status bar shows it: two decimals, more when the width has them (up to
// four: a typed or measured width), "0.70", "0.125"; a pointer's width to two decimals.
std::string status_width(float width);

} // namespace teravine
