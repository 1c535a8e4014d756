// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli identify AD EG: one pair placed as a click would place it, or with
// --broadening (and --rule, --table) as the typed entry places it after "Draw".
#include "batch/result_line.h"
#include "cli/commands.h"
#include "cli/instrument_option.h"
#include "cli/rule_options.h"
#include "cli/sigma_options.h"
#include "identify/sample_values.h"
#include "identify/uncertainty_text.h"
#include "model/solvers.h"

#include <iostream>
#include <memory>

namespace teravine::cli {
namespace {

struct IdentifyArgs {
    float ad = 0;
    float eg = 0;
    std::string reichweite = "R0";
    float broadening = 0;
    RuleArgs rule;
    SigmaArgs sigmas;
    std::string instrument;
};

int run_identify(const IdentifyArgs& args, const CLI::App& command) {
    const auto instrument = chosen_instrument(args.instrument);
    if (!instrument) {
        std::cerr << instrument.error() << "\n";
        return kExitFailure;
    }
    const float broadening = *instrument ? static_cast<float>((*instrument)->b) : args.broadening;
    auto sigmas = chosen_sigmas(args.sigmas);
    take_instrument_sigma(sigmas, *instrument, command);
    const auto rule = choose_rule(args.rule);
    if (!rule) {
        // Options misused are named after the command; a table's own failure stands alone.
        const bool about_options = rule.error().rfind("--", 0) == 0;
        std::cerr << (about_options ? "teravine-cli identify: " : "") << rule.error() << "\n";
        return kExitFailure;
    }
    return identify_and_print(args.ad, args.eg, {broadening, rule->rule, &rule->table},
                              args.reichweite, sigmas);
}

} // namespace

int identify_and_print(float ad_measured, float eg_measured, const BroadeningRemoval& removal,
                       const std::string& reichweite, const std::optional<WidthSigmas>& sigmas) {
    const Calibration cal = make_calibration(reich_from_name(reichweite));
    float ad = ad_measured;
    float eg = eg_measured;
    static const CorrectionTable kNoTable;
    remove_inst_from_pair(ad, eg, removal.broadening, removal.rule,
                          removal.table ? *removal.table : kNoTable);
    const KPlace place = find_k(cal.coef_eg, ad, eg, cal.reich);
    if (!place.inside()) {
        std::cout << "Error\n";
        return kExitOutside;
    }
    const auto values = sample_values(cal, place.rec, ad);
    if (!values) {
        std::cout << "Error\n";
        std::cerr << values.error() << "\n";
        return kExitOutside;
    }
    const auto file_nfp = nfp_from_percent(values->fp_pct);
    const auto shown_nfp = label_nfp(*values, ad, eg);
    std::cout << result_line(ad, eg, *values, *file_nfp) << "\n"
              << sample_label(*values, *shown_nfp) << "\n";
    if (sigmas) {
        // The widths as measured, with their uncertainties, before the broadening goes.
        if (const auto u = width_uncertainty(cal, ad_measured, eg_measured, removal, *sigmas)) {
            std::cout << uncertainty_lines(*u);
        }
    }
    return kExitOk;
}

CLI::Option* add_reichweite_option(CLI::App& command, std::string& reichweite) {
    return command.add_option("-r,--reichweite", reichweite, "Reichweite: R0, R1 or R3")
        ->check(CLI::IsMember({"R0", "R1", "R3"}))
        ->capture_default_str();
}

void add_identify_command(CLI::App& app, int& status) {
    auto args = std::make_shared<IdentifyArgs>();
    auto* command = app.add_subcommand(
        "identify", "Identify one pair of widths and print its result line and its diagram "
                    "label; with --broadening, after removing the instrument's width as the "
                    "window's Draw does");
    command->add_option("AD", args->ad, "air-dried width, degrees 2-theta")->required();
    command->add_option("EG", args->eg, "glycolated width, degrees 2-theta")->required();
    add_reichweite_option(*command, args->reichweite);
    command
        ->add_option("--broadening", args->broadening,
                     "instrumental broadening B, degrees 2-theta, removed from both widths "
                     "by the rule (none when 0, unless --rule table)")
        ->capture_default_str();
    add_rule_options(*command, args->rule);
    add_sigma_options(*command, args->sigmas);
    add_instrument_option(*command, args->instrument);
    command->callback([args, command, &status] { status = run_identify(*args, *command); });
}

} // namespace teravine::cli
