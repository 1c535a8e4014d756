// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cis_notes.h"

#include "standards/calibration_method.h"
#include "text/number_text.h"

namespace teravine::cli {

std::string zones_note(CisIndex index, const std::optional<ZoneLimits>& limits) {
    if (limits) {
        return "Zones on the CIS scale: " + limits_text(*limits) + ".";
    }
    return std::string("No zones: the ") + (index == CisIndex::arkai ? "Arkai" : "Kubler") +
           " index has no published zone limits on the CIS scale (those of 2015 and 1994 are "
           "the Kubler index's); --zones LO:HI judges it by a laboratory's own.";
}

std::string uncertainty_note(const CisCalibration& c, const std::string& what) {
    return what + " one standard uncertainty (1 sigma) with n - 2 = " +
           std::to_string(cis_degrees_of_freedom(c)) +
           " degrees of freedom: a 95 % interval is +/- " + format_fixed(cis_t95(c), 2) +
           " u (Student's t).";
}

std::optional<std::string> guideline_note(const CisCalibration& c) {
    const auto why = outside_cis_guidelines(c.method);
    if (!why) {
        return std::nullopt;
    }
    return "The standards were measured with " + *why +
           ": outside the CIS guidelines, which calibrate fitted indices with one asymmetric "
           "profile (--profile split-pearson7 --components 1).";
}

} // namespace teravine::cli
