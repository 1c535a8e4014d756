// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/pattern.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace teravine {

std::string pattern_name(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    return name.empty() ? path : name;
}

std::string pattern_subject(const std::string& path) {
    return "The file \"" + path + "\"";
}

std::optional<std::string> pattern_problem(const Pattern& pattern, const std::string& subject,
                                           const PointPlace& place) {
    const std::size_t n = pattern.two_theta.size();
    if (n == 0) {
        return subject + " is not a pattern: it holds no points of 2θ and counts.";
    }
    if (n < kMinPatternPoints) {
        return subject + " has too few points: " + std::to_string(n) + " (at least " +
               std::to_string(kMinPatternPoints) + " are needed).";
    }
    for (const auto& [line, value] :
         {std::pair{"Kα1", pattern.wavelength}, std::pair{"Kα2", pattern.alpha2}}) {
        if (value && !(*value >= kMinWavelength && *value <= kMaxWavelength)) {
            char text[32];
            std::snprintf(text, sizeof text, "%g", *value);
            return subject + " states a " + line + " wavelength of " + text +
                   " Å; X-ray wavelengths lie between 0.1 and 3 Å.";
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (!std::isfinite(pattern.two_theta[i])) {
            return subject + " has a 2θ that is not a finite number at " + place(i) + ".";
        }
        if (std::abs(pattern.two_theta[i]) > 180) {
            return subject + " has a 2θ beyond 180° at " + place(i) + ".";
        }
        if (i > 0 && !(pattern.two_theta[i] > pattern.two_theta[i - 1])) {
            return subject + " has a 2θ that is not increasing at " + place(i) + ".";
        }
        if (!std::isfinite(pattern.counts[i])) {
            return subject + " has counts that are not a finite number at " + place(i) + ".";
        }
        if (std::abs(pattern.counts[i]) > kMaxCounts) {
            return subject + " has counts beyond any detector's at " + place(i) + ".";
        }
    }
    return std::nullopt;
}

} // namespace teravine
