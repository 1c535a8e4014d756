// SPDX-License-Identifier: GPL-3.0-or-later
// A program run as a child process, as a user runs it, for the benchmarks that measure a
// whole process.
#pragma once

#include <string>
#include <vector>

namespace teravine::bench {

// Runs the command (its standard output thrown away) and returns its maximum resident set
// size in bytes; -1 when it did not end with status 0.
double child_peak_bytes(const std::vector<std::string>& command);

} // namespace teravine::bench
