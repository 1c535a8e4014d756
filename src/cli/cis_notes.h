// SPDX-License-Identifier: GPL-3.0-or-later
// What `cis fit`, `cis apply` and `measure --cis` say on standard error of values on the
// CIS scale: the zone limits they were judged by, what their u is, and a method outside
// the CIS guidelines.
#pragma once

#include "standards/cis_calibration.h"

#include <optional>
#include <string>

namespace teravine::cli {

// "Zones on the CIS scale: anchizone 0.32–0.52 (2015)." or, without limits, why an Árkai
// value has no zone.
std::string zones_note(CisIndex index, const std::optional<ZoneLimits>& limits);

// "`what` one standard uncertainty (1 sigma) with n - 2 = 3 degrees of freedom: a 95 %
// interval is +/- 3.18 u (Student's t)." (`what`: "u_ki_cis is").
std::string uncertainty_note(const CisCalibration& calibration, const std::string& what);

// The note of a calibration whose standards were measured outside the CIS guidelines
// (outside_cis_guidelines), or nothing.
std::optional<std::string> guideline_note(const CisCalibration& calibration);

} // namespace teravine::cli
