// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument profile: the instrument's own broadening b measured on a standard, how
// it was measured, and the setup the standard's file states; written as versioned JSON,
// read strictly, and held against the samples measured with it.
#pragma once

#include "standards/caglioti.h"
#include "standards/stated_setup.h"
#include "text/outcome.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace teravine {

// The illite 001 angle, 10 Å, in 2θ Cu Kα.
inline constexpr double kIllite001Angle = 8.84;

struct InstrumentProfile {
    static constexpr int kVersion = 1;
    double b = 0;         // instrument FWHM, °2θ, at `angle`
    double u_b = 0;       // its standard uncertainty
    double angle = 0;     // 2θ (Cu Kα scale) where b applies: the 001 angle
    std::string standard; // the standard pattern's file name
    std::string sha256;   // of the standard pattern's file
    std::string method;   // method_in_full (of an older version the name alone: "fit:<profile>")
    bool doublet_removed = false; // true for a fit (Kα1 width), false for half height
    StatedSetup setup;
    std::optional<CagliotiFit> caglioti; // when made from several peaks

    bool operator==(const InstrumentProfile&) const = default;
};

std::string instrument_profile_json(const InstrumentProfile& profile);
// The profile as a JSON value, as the file and a session hold it.
nlohmann::ordered_json instrument_profile_value(const InstrumentProfile& profile);

// Refuses, naming `subject`, anything but a profile of a version it knows, with finite b ≥ 0.
Outcome<InstrumentProfile> parse_instrument_profile(std::string_view text,
                                                    const std::string& subject);
// The profile a JSON value holds, checked as strictly; throws json_fields::Refusal, its
// fields named as of `where` ("the profile").
InstrumentProfile instrument_profile_of(const nlohmann::json& object, const std::string& where);
// The keys a profile's reader reads.
std::span<const std::string_view> instrument_profile_keys();

// Reads and parses the profile file at path, its failures naming the file.
Outcome<InstrumentProfile> read_instrument_profile(const std::string& path);

// The quality reasons a sample measured with `method` (its full_method_name) from a file
// stating `setup` earns against the profile: "instrument-method" when method_differences
// names any (the range aside, which a standard's peak has its own), "instrument-setup"
// when setup_differences is not empty. Empty when they agree.
inline constexpr const char* kInstrumentMethod = "instrument-method";
inline constexpr const char* kInstrumentSetup = "instrument-setup";
std::vector<std::string> instrument_mismatches(const InstrumentProfile& profile,
                                               const std::string& method, const StatedSetup& setup);

} // namespace teravine
