// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/pattern_options.h"

#include "formats/anode.h"

#include <cmath>

namespace teravine::cli {
namespace {

// Laboratory and synchrotron X-rays lie well inside these (ångström).
constexpr double kShortestWavelength = 0.1;
constexpr double kLongestWavelength = 5.0;

} // namespace

void add_pattern_options(CLI::App& command, PatternArgs& args) {
    command
        .add_option("--scan", args.scan,
                    "the scan to use, 1 for the first, of a file that holds several")
        ->check(CLI::PositiveNumber);
    auto* anode = command.add_option(
        "--anode", args.anode,
        "the anode of the tube (Cu, Co, Fe, Cr, Mo, Ag), for a file that does not state it");
    auto* wavelength = command.add_option(
        "--wavelength", args.wavelength,
        "the K-alpha1 wavelength in angstrom, for a file that does not state it");
    wavelength->each([&args](const std::string&) { args.wavelength_given = true; });
    anode->excludes(wavelength);
}

Outcome<PatternChoice> pattern_choice(const PatternArgs& args) {
    PatternChoice choice;
    choice.how_to_choose = "choose one with --scan N";
    if (args.scan > 0) {
        choice.scan = args.scan;
    }
    if (!args.anode.empty()) {
        const auto lines = anode_lines(args.anode);
        if (!lines) {
            return Failure{"--anode wants Cu, Co, Fe, Cr, Mo or Ag, not \"" + args.anode + "\""};
        }
        choice.wavelength = lines->alpha1;
    }
    if (args.wavelength_given) {
        if (!(args.wavelength >= kShortestWavelength && args.wavelength <= kLongestWavelength)) {
            return Failure{"--wavelength wants the K-alpha1 wavelength in angstrom, between 0.1 "
                           "and 5, such as 1.78897 for cobalt"};
        }
        choice.wavelength = args.wavelength;
    }
    return choice;
}

} // namespace teravine::cli
