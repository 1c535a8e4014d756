// SPDX-License-Identifier: GPL-3.0-or-later
// A diffractogram as read from a file: 2θ in degrees against counts, the file's name,
// and the anode's wavelength when the file states it.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace teravine {

// Fewer points than this make no peak worth measuring.
inline constexpr std::size_t kMinPatternPoints = 10;

// Counts beyond this are no detector's: refused, so that sums of them stay finite.
inline constexpr double kMaxCounts = 1e12;

struct Pattern {
    std::vector<double> two_theta;    // degrees, strictly increasing
    std::vector<double> counts;       // one per angle, finite
    std::string name;                 // the file's name, without its folder
    std::optional<double> wavelength; // Kα1 in ångström, when the file states it
};

// The file's name without its folder, as a pattern is named in messages and output.
std::string pattern_name(const std::string& path);

// 'The file "x"', the start of every message about the file at path.
std::string pattern_subject(const std::string& path);

// Names point i (0-based) of the file in a message: "line 12", "point 3".
using PointPlace = std::function<std::string(std::size_t)>;

// Why the points cannot be measured, if they cannot: none, too few, a 2θ not finite or
// not above the one before, a count not finite. The message starts with `subject`.
std::optional<std::string> pattern_problem(const Pattern& pattern, const std::string& subject,
                                           const PointPlace& place);

} // namespace teravine
