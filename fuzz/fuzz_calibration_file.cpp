// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the instrument profile and CIS calibration readers on arbitrary bytes
// (the first byte chooses which). What a reader accepts has finite figures, and writes
// out and reads back as the same profile or calibration.
#include "fuzz_support.h"
#include "standards/cis_calibration.h"
#include "standards/instrument_profile.h"

#include <cmath>
#include <string>

namespace {

using namespace teravine;
using namespace teravine::fuzz;

void profile(const std::string& text) {
    const auto read = parse_instrument_profile(text, "P");
    if (!read) {
        require(read.error().rfind("P", 0) == 0, "a refusal names the profile");
        return;
    }
    require(std::isfinite(read->b) && read->b >= 0, "b is finite and not negative");
    require(std::isfinite(read->u_b) && read->u_b >= 0, "u_b is finite and not negative");
    const auto again = parse_instrument_profile(instrument_profile_json(*read), "P");
    require(again.ok(), "a profile written by the program reads back");
    require(*again == *read, "as the same profile");
}

void calibration(const std::string& text) {
    const auto read = parse_cis_calibration(text, "C");
    if (!read) {
        require(read.error().rfind("C", 0) == 0, "a refusal names the calibration");
        return;
    }
    require(read->n >= 3 && read->standards.size() == static_cast<std::size_t>(read->n),
            "at least three standards, all listed");
    require(std::isfinite(read->intercept) && std::isfinite(read->slope), "a finite line");
    const auto again = parse_cis_calibration(cis_calibration_json(*read), "C");
    require(again.ok(), "a calibration written by the program reads back");
    require(again->standards == read->standards && again->slope == read->slope &&
                again->intercept == read->intercept,
            "with the same standards and line");
    const CisValue v = apply_cis(*read, 0.4, 0.01, default_zone_limits());
    require(std::isfinite(v.ki_cis) && std::isfinite(v.u_ki_cis), "a finite converted width");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzBytes in(data, size);
    const bool as_profile = (in.byte() & 1) == 0;
    const std::string text(in.rest());
    if (as_profile) {
        profile(text);
    } else {
        calibration(text);
    }
    return 0;
}
