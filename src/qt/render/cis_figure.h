// SPDX-License-Identifier: GPL-3.0-or-later
// A CIS calibration's figure (diagram/cis_drawing) written as an image file, as
// `cis fit --figure` and the calibration dialog's "Save Figure…" write it.
#pragma once

#include "diagram/cis_drawing.h"

#include <optional>
#include <string>

namespace teravine {

// Nothing on success, else the failure naming the file; the format follows the suffix
// (.png, .svg, .pdf).
std::optional<std::string> write_cis_image(const std::string& path,
                                           const CisCalibration& calibration,
                                           const ZoneLimits& limits);

} // namespace teravine
