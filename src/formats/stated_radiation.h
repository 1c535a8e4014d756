// SPDX-License-Identifier: GPL-3.0-or-later
// What a binary or zipped pattern file states of its radiation, handed to each scan.
#pragma once

#include "formats/pattern.h"

#include <optional>
#include <string>

namespace teravine {

struct StatedRadiation {
    std::optional<double> alpha1; // ångström, as the file has it (0 or absent: unknown)
    std::optional<double> alpha2;
    std::optional<double> ratio; // I(Kα2) / I(Kα1)
    std::string anode;           // the anode's symbol as the file spells it, or empty
};

// Gives the scan what the file states: wavelengths that are ångström a tube can have,
// a ratio between 0 and 1, the anode named by its symbol or else by its Kα1. When the
// file names its anode and gives no Kα1, the anode's own lines are taken, so that a
// cobalt scan is never measured as copper.
void state_radiation(Pattern& scan, const StatedRadiation& radiation);

} // namespace teravine
