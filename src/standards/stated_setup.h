// SPDX-License-Identifier: GPL-3.0-or-later
// What a pattern file states about the instrument it was measured on, and what differs
// between the setup of a standard and that of a sample.
#pragma once

#include "formats/pattern.h"

#include <optional>
#include <string>
#include <vector>

namespace teravine {

struct StatedSetup {
    std::string anode;                                      // "Cu", ... or empty
    std::optional<double> wavelength, alpha2, alpha2_ratio; // Å, Å, I(Kα2)/I(Kα1)
    std::optional<double> goniometer_radius;                // mm, where the file states it
    std::string divergence_slit, receiving_slit;            // as the file states them, else empty
    std::string date;                                       // as the file states it, else empty

    bool operator==(const StatedSetup&) const = default;
};

StatedSetup stated_setup(const Pattern& pattern);

// What differs between two setups, both stating it ("wavelength", "radius", "slits"); a
// field only one side states does not count. Two anodes named differently differ in
// wavelength.
std::vector<std::string> setup_differences(const StatedSetup& profile, const StatedSetup& sample);

} // namespace teravine
