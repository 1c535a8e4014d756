// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/stated_radiation.h"

#include "formats/anode.h"

#include <cmath>

namespace teravine {
namespace {

// Laboratory and synchrotron wavelengths lie well inside this span (ångström).
bool is_wavelength(const std::optional<double>& value) {
    return value && std::isfinite(*value) && *value > 0.01 && *value < 10;
}

} // namespace

void state_radiation(Pattern& scan, const StatedRadiation& radiation) {
    const auto named = anode_lines(radiation.anode);
    if (is_wavelength(radiation.alpha1)) {
        scan.wavelength = radiation.alpha1;
        if (is_wavelength(radiation.alpha2)) {
            scan.alpha2 = radiation.alpha2;
        }
    } else if (named) {
        scan.wavelength = named->alpha1;
        scan.alpha2 = named->alpha2;
    }
    if (radiation.ratio && std::isfinite(*radiation.ratio) && *radiation.ratio >= 0 &&
        *radiation.ratio <= 1 && scan.alpha2) {
        scan.alpha2_ratio = radiation.ratio;
    }
    if (scan.wavelength) {
        scan.anode = anode_of(*scan.wavelength);
    }
}

} // namespace teravine
