// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/stated_radiation.h"

#include "formats/anode.h"
#include "formats/scan_text.h"

#include <cmath>

namespace teravine {
namespace {

// Stated, that is present and not 0; the scan's check refuses what no source gives.
bool is_wavelength(const std::optional<double>& value) {
    return stated_wavelength(value).has_value();
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
