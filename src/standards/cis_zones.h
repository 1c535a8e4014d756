// SPDX-License-Identifier: GPL-3.0-or-later
// The metamorphic zones of a Kübler index on the CIS scale: the anchizone between two
// limits (0.32 and 0.52 since 2015, 0.25 and 0.42 before, or a laboratory's own).
#pragma once

#include "text/outcome.h"

#include <string>
#include <string_view>

namespace teravine {

struct ZoneLimits {
    std::string scheme; // "2015", "1994", or "own"
    double lower = 0.32, upper = 0.52;
};

ZoneLimits default_zone_limits(); // 2015: 0.32, 0.52
// "2015" | "1994" | "LO:HI" (own limits, 0 < LO < HI).
Outcome<ZoneLimits> parse_zone_limits(std::string_view text);
// "epizone" < lower ≤ "anchizone" ≤ upper < "diagenetic".
std::string zone_of(double ki_cis, const ZoneLimits& limits);
// "anchizone 0.32–0.52 (2015)".
std::string limits_text(const ZoneLimits& limits);

} // namespace teravine
