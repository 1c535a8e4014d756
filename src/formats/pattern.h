// SPDX-License-Identifier: GPL-3.0-or-later
// A diffractogram as read from a file: 2θ in degrees against counts, the file's name,
// and what the file states of how it was measured.
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

// The wavelengths of laboratory tubes and synchrotrons alike (ångström).
inline constexpr double kMinWavelength = 0.1;
inline constexpr double kMaxWavelength = 3;

// What the intensities of a pattern are: counts per step, or counts per second.
enum class CountUnits { counts, per_second };

struct Pattern {
    std::vector<double> two_theta;       // degrees, strictly increasing
    std::vector<double> counts;          // one per angle, finite; see `units`
    std::string name;                    // the file's name, without its folder
    std::optional<double> wavelength;    // Kα1 in ångström, when the file states it
    std::optional<double> alpha2;        // Kα2 in ångström, when the file states it
    std::optional<double> alpha2_ratio;  // I(Kα2) / I(Kα1), when the file states it
    std::string anode;                   // "Cu", "Co", ... when the file names it, else empty
    std::optional<double> counting_time; // seconds per step, when the file states it
    CountUnits units = CountUnits::counts;
    std::string scan; // the scan's own name or label in the file, when it has one
    // The instrument as the file states it, for telling a standard's setup from a sample's.
    std::optional<double> goniometer_radius;     // mm
    std::string divergence_slit, receiving_slit; // as the file gives them, else empty
    std::string date;                            // of the measurement, as the file gives it
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
