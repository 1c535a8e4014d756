// SPDX-License-Identifier: GPL-3.0-or-later
#include "standards/stated_setup.h"

#include <cctype>
#include <cmath>

namespace teravine {
namespace {

// Files round their wavelengths differently (1.5406 against 1.540598).
constexpr double kWavelengthTolerance = 2e-4; // Å
constexpr double kRadiusTolerance = 0.5;      // mm

bool both_differ(const std::optional<double>& a, const std::optional<double>& b, double tolerance) {
    return a && b && std::abs(*a - *b) > tolerance;
}

// Slits compared as written, blanks and letter case aside ("1/4°" and "1/4 °").
std::string folded(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c))) {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

bool both_state_other(const std::string& a, const std::string& b) {
    return !a.empty() && !b.empty() && folded(a) != folded(b);
}

} // namespace

StatedSetup stated_setup(const Pattern& pattern) {
    StatedSetup setup;
    setup.anode = pattern.anode;
    setup.wavelength = pattern.wavelength;
    setup.alpha2 = pattern.alpha2;
    setup.alpha2_ratio = pattern.alpha2_ratio;
    setup.goniometer_radius = pattern.goniometer_radius;
    setup.divergence_slit = pattern.divergence_slit;
    setup.receiving_slit = pattern.receiving_slit;
    setup.date = pattern.date;
    return setup;
}

std::vector<std::string> setup_differences(const StatedSetup& profile, const StatedSetup& sample) {
    std::vector<std::string> differences;
    if (both_differ(profile.wavelength, sample.wavelength, kWavelengthTolerance) ||
        both_state_other(profile.anode, sample.anode)) {
        differences.emplace_back("wavelength");
    }
    if (both_differ(profile.goniometer_radius, sample.goniometer_radius, kRadiusTolerance)) {
        differences.emplace_back("radius");
    }
    if (both_state_other(profile.divergence_slit, sample.divergence_slit) ||
        both_state_other(profile.receiving_slit, sample.receiving_slit)) {
        differences.emplace_back("slits");
    }
    return differences;
}

} // namespace teravine
