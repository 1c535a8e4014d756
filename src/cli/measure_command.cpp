// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli measure AD EG: the FWHM of the 001 peak of the air-dried and the
// glycolated pattern, and with --identify the pair placed as the typed entry places it;
// measure --pairs LIST.csv -o FILE.IW: a width file measured from many pattern pairs.
#include "cli/commands.h"
#include "cli/measure_pairs.h"
#include "cli/measure_rows.h"
#include "cli/method_options.h"
#include "cli/pattern_options.h"
#include "cli/peak_figure.h"
#include "cli/rule_options.h"
#include "identify/width_entry.h"
#include "model/calibration.h"

#include <iostream>
#include <memory>

namespace teravine::cli {
namespace {

struct MeasureArgs {
    std::string ad;
    std::string eg;
    std::string range = "6.5:11.5";
    bool identify = false;
    std::string reichweite = "R0";
    RuleArgs rule;
    std::string broadening;
    std::string figure;
    PatternArgs pattern;
    MethodArgs method;
    std::size_t scan_eg = 0; // 0: the same as --scan
    PairsJob pairs;
};

int fail(const std::string& description) {
    std::cerr << "teravine-cli measure: " << description << "\n";
    return kExitFailure;
}

// The measured widths, as printed, go through the checks and the correction of the
// window's "Draw" with the broadening typed in its box, then into `identify`.
int identify_measured(const MeasureArgs& args, const Measured& ad, const Measured& eg) {
    const auto rule = choose_rule(args.rule);
    if (!rule) {
        // Options misused are named after the command; a table's own failure stands alone.
        if (rule.error().rfind("--", 0) == 0) {
            return fail(rule.error());
        }
        std::cerr << rule.error() << "\n";
        return kExitFailure;
    }
    const Calibration cal = make_calibration(reich_from_name(args.reichweite));
    const WidthEntry entry = check_width_entry(args.broadening, width_text(ad.width.fwhm),
                                               width_text(eg.width.fwhm), cal.range());
    if (entry.problem != EntryProblem::None) {
        std::cerr << entry_message(entry.problem) << "\n";
        return kExitFailure;
    }
    // The uncertainties the measurement estimated from the counts, as printed, as the
    // widths are taken as printed.
    WidthSigmas sigmas;
    sigmas.ad = std::stof(width_text(ad.width.u_fwhm));
    sigmas.eg = std::stof(width_text(eg.width.u_fwhm));
    return identify_and_print(entry.ad, entry.eg, {entry.broadening, rule->rule, &rule->table},
                              args.reichweite, sigmas);
}

int run_measure(MeasureArgs& args) {
    const auto range = parse_range(args.range);
    if (!range) {
        return fail("--range wants LO:HI in degrees 2-theta, LO below HI, such as 6.5:11.5");
    }
    const auto choice = pattern_choice(args.pattern);
    if (!choice) {
        return fail(choice.error());
    }
    const auto method = method_choice(args.method);
    if (!method) {
        return fail(method.error());
    }
    if (!args.pairs.list.empty()) {
        if (!args.ad.empty() || args.identify || !args.figure.empty() || args.scan_eg > 0) {
            return fail("--pairs takes no pattern files, --identify, --figure or --scan-eg");
        }
        if (args.pairs.output.empty()) {
            return fail("--pairs needs -o FILE.IW");
        }
        args.pairs.broadening = args.broadening;
        args.pairs.range = *range;
        args.pairs.choice = *choice;
        args.pairs.method = *method;
        return run_measure_pairs(args.pairs);
    }
    if (args.eg.empty()) {
        return fail("give the AD and the EG pattern, or --pairs LIST.csv");
    }
    if (!args.pairs.output.empty() || !args.pairs.csv.empty()) {
        return fail("-o and --csv go with --pairs");
    }
    if (!args.broadening.empty() && !args.identify) {
        return fail("--broadening goes with --identify or --pairs");
    }
    PatternChoice eg_choice = *choice;
    if (args.scan_eg > 0) {
        eg_choice.scan = args.scan_eg;
    }
    const auto ad = measure_file(args.ad, *choice, *range, *method);
    const auto eg = measure_file(args.eg, eg_choice, *range, *method);
    for (const auto* side : {&ad, &eg}) {
        if (!*side) {
            std::cerr << side->error() << "\n";
        }
    }
    if (!ad || !eg) {
        return kExitFailure;
    }
    std::cout << kMeasureHeader << "\n"
              << measured_row("AD", *ad) << "\n"
              << measured_row("EG", *eg) << "\n";
    for (const auto& [side, m] : {std::pair{"AD", &*ad}, std::pair{"EG", &*eg}}) {
        if (const auto note = anode_note(side, *m)) {
            std::cerr << *note << "\n";
        }
    }
    if (method->fit) {
        std::cerr << kFitNote << "\n";
    }
    std::cout.flush();
    if (!args.figure.empty()) {
        if (const auto failure =
                write_peak_figure(args.figure, *range, {{"AD", &*ad}, {"EG", &*eg}})) {
            std::cerr << *failure << "\n";
            return kExitFailure;
        }
    }
    return args.identify ? identify_measured(args, *ad, *eg) : kExitOk;
}

} // namespace

void add_measure_command(CLI::App& app, int& status) {
    auto args = std::make_shared<MeasureArgs>();
    auto* command = app.add_subcommand(
        "measure",
        "Measure the FWHM of the illite 001 peak of an air-dried and a glycolated "
        "pattern (.xy, .txt, .dat, .csv, .xrdml and the instrument formats of the guide)");
    command->add_option("AD", args->ad, "air-dried pattern file");
    command->add_option("EG", args->eg, "glycolated pattern file");
    command->add_option("--range", args->range, "2-theta range LO:HI searched (Cu K-alpha)")
        ->capture_default_str();
    add_pattern_options(*command, args->pattern);
    add_method_options(*command, args->method);
    command
        ->add_option("--scan-eg", args->scan_eg,
                     "the scan of the EG file, when it is not the one of --scan (the two "
                     "preparations as two scans of one file)")
        ->check(CLI::PositiveNumber);
    auto* identify = command->add_flag(
        "--identify", args->identify,
        "also identify the measured pair as a typed entry with its broadening would be");
    add_reichweite_option(*command, args->reichweite)->needs(identify);
    add_rule_options(*command, args->rule);
    command->get_option("--rule")->needs(identify);
    command->get_option("--table")->needs(identify);
    command->add_option("--broadening", args->broadening,
                        "instrumental broadening, degrees 2-theta (with --identify or --pairs)");
    command->add_option("--figure", args->figure,
                        "also draw both measured peaks into this PNG, SVG or PDF file");
    command->add_option("--pairs", args->pairs.list,
                        "CSV list name,ad,eg of pattern pairs (paths relative to the list)");
    command->add_option("-o,--output", args->pairs.output,
                        "width file (.IW) to write with --pairs; - for standard output");
    command->add_option("--csv", args->pairs.csv,
                        "with --pairs, also write every measurement to this CSV file");
    command->callback([args, &status] { status = run_measure(*args); });
}

} // namespace teravine::cli
