// SPDX-License-Identifier: GPL-3.0-or-later
// --instrument INSTRUMENT.json for the commands that remove the instrument's broadening
// (`measure`, `identify`, `treat`): b and its u come from the profile, and a broadening
// given as well is refused as a conflict.
#pragma once

#include "cli/measure_rows.h"
#include "identify/uncertainty.h"
#include "standards/instrument_profile.h"
#include "text/outcome.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <string>

namespace teravine::cli {

// Adds --instrument; the command's --broadening, when it has one, must be added first.
CLI::Option* add_instrument_option(CLI::App& command, std::string& path);

// The profile, or nothing when --instrument is not given.
Outcome<std::optional<InstrumentProfile>> chosen_instrument(const std::string& path);

// The broadening's σ taken from the profile's u, unless --sigma-broadening gave it.
void take_instrument_sigma(std::optional<WidthSigmas>& sigmas,
                           const std::optional<InstrumentProfile>& profile,
                           const CLI::App& command);

} // namespace teravine::cli
