// SPDX-License-Identifier: GPL-3.0-or-later
// The subcommands of teravine-cli. Each registers itself on the CLI11 app and
// reports its exit status through the shared slot.
#pragma once

#include "identify/uncertainty.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <string>

namespace teravine::cli {

// Exit statuses: 0 done, 1 bad arguments or a failure, 2 a pair outside the model or,
// for measure --pairs, a width file written without the pairs that could not be measured.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitOutside = 2;
inline constexpr int kExitSomeLeftOut = 2;

void add_identify_command(CLI::App& app, int& status);
void add_treat_command(CLI::App& app, int& status);
void add_lines_command(CLI::App& app, int& status);
void add_plot_command(CLI::App& app, int& status);
void add_measure_command(CLI::App& app, int& status);
void add_pattern_command(CLI::App& app, int& status);
void add_instrument_command(CLI::App& app, int& status);
void add_cis_command(CLI::App& app, int& status);
void add_report_command(CLI::App& app, int& status);
void add_thickness_command(CLI::App& app, int& status);
void add_simulate_command(CLI::App& app, int& status);

// What `identify` prints for the measured pair, its broadening removed as "Draw" removes
// it, and its exit status; with sigmas, the intervals of the values follow.
int identify_and_print(float ad_measured, float eg_measured, const BroadeningRemoval& removal,
                       const std::string& reichweite, const std::optional<WidthSigmas>& sigmas);

// "R0", "R1", "R3" as an option with its check.
CLI::Option* add_reichweite_option(CLI::App& command, std::string& reichweite);

} // namespace teravine::cli
