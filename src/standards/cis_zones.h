// SPDX-License-Identifier: GPL-3.0-or-later
// The metamorphic zones of a value on the CIS scale: the anchizone between two limits.
// The published limits (0.32 and 0.52 since 2015, 0.25 and 0.42 before) are those of the
// Kübler index; the Árkai index is judged only by limits a laboratory gives as its own.
#pragma once

#include "standards/cis_standards.h"
#include "text/outcome.h"

#include <optional>
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
// The limits `--zones` gives a value of the index: for the Kübler index those of 2015
// when the text is empty; for the Árkai index none unless the text gives its own, and
// "2015" or "1994" (Kübler-index limits) are refused.
Outcome<std::optional<ZoneLimits>> parse_zone_limits_for(CisIndex index, std::string_view text);
// The limits that judge a value of the index among those chosen: all of them for the
// Kübler index, only a laboratory's own for the Árkai index.
std::optional<ZoneLimits> judging_limits(CisIndex index, const std::optional<ZoneLimits>& chosen);

// "epizone" < lower ≤ "anchizone" ≤ upper < "diagenetic".
std::string zone_of(double value, const ZoneLimits& limits);
// The limits lying within u of the value, as limits_text shows them ("0.32"), joined by
// ';'; empty when neither does: the zone then stands within the value's uncertainty.
std::string near_limits(double value, double u, const ZoneLimits& limits);
// "anchizone 0.32–0.52 (2015)".
std::string limits_text(const ZoneLimits& limits);

} // namespace teravine
