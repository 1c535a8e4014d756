// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli treat FILE.IW -o FILE.IWO: the menu command "Treat File" without a window.
// Reads the width file, removes the broadening with the chosen rule, and writes the very
// result file the window writes with the same Reichweite and rule; every accepted sample
// is placed as the window places it.
#include "batch/result_csv.h"
#include "batch/result_target.h"
#include "batch/treatment.h"
#include "cli/commands.h"
#include "cli/rule_options.h"
#include "cli/sigma_options.h"
#include "cli/standard_streams.h"
#include "lines/line_tables.h"
#include "model/calibration.h"

#include <iostream>
#include <memory>
#include <vector>

namespace teravine::cli {
namespace {

struct TreatArgs {
    std::string input;
    std::string output;
    std::string reichweite = "R0";
    RuleArgs rule;
    std::string csv;
    SigmaArgs sigmas;
    bool quiet = false;
};

int fail(const std::string& description) {
    std::cerr << description << "\n";
    return kExitFailure;
}

// The inputs just read that the result must not replace.
std::optional<std::string> replaces_an_input(const TreatArgs& args) {
    if (is_standard_stream(args.output)) {
        return std::nullopt;
    }
    if (auto same = result_replaces_input(args.output, args.input, "width file")) {
        return same;
    }
    if (!args.rule.table.empty()) {
        return result_replaces_input(args.output, args.rule.table, "correction table");
    }
    return std::nullopt;
}

// The table of --csv must replace neither an input nor the result file.
std::optional<std::string> csv_problem(const TreatArgs& args) {
    if (args.csv.empty() || is_standard_stream(args.csv)) {
        if (is_standard_stream(args.csv) && is_standard_stream(args.output)) {
            return "teravine-cli treat: --csv - and -o - cannot both write to standard output";
        }
        return std::nullopt;
    }
    for (const auto& [path, what] :
         {std::pair{args.input, "width file"}, std::pair{args.rule.table, "correction table"},
          std::pair{args.output, "result file"}}) {
        if (path.empty() || is_standard_stream(path)) {
            continue;
        }
        if (auto same = result_replaces_input(args.csv, path, what)) {
            return same;
        }
    }
    return std::nullopt;
}

int run_treat(const TreatArgs& args) {
    // A correction table that cannot be read ends here, as the option "File table" does.
    const auto rule = choose_rule(args.rule);
    if (!rule) {
        // Options misused are named after the command; a file's own failure stands alone.
        const bool about_options = rule.error().rfind("--", 0) == 0;
        return fail(about_options ? "teravine-cli treat: " + rule.error() : rule.error());
    }
    const auto measured = read_widths(args.input);
    if (!measured) {
        return fail(measured.error());
    }
    auto widths = measured;
    correct_widths(widths.value(), rule->rule, rule->table);
    if (const auto same = replaces_an_input(args)) {
        return fail(*same);
    }
    if (const auto problem = csv_problem(args)) {
        return fail(*problem);
    }

    const Calibration cal = make_calibration(reich_from_name(args.reichweite));
    LineWriter csv("\n");
    std::vector<std::optional<WidthUncertainty>> uncertainties;
    std::optional<WidthSigmas> sigmas;
    if (!args.csv.empty()) {
        if (const auto failure = open_output(csv, args.csv)) {
            return fail(*failure);
        }
        // The intervals start from the widths as measured, with the file's broadening.
        sigmas = chosen_sigmas(args.sigmas);
        if (sigmas) {
            std::vector<MeasuredPair> pairs(measured->ad.size());
            for (std::size_t i = 0; i < pairs.size(); ++i) {
                pairs[i] = {measured->ad[i],
                            measured->eg[i],
                            {widths->broadening, rule->rule, &rule->table}};
            }
            uncertainties = width_uncertainties(cal, pairs, *sigmas);
        }
        csv.line(result_csv_header() + (sigmas ? uncertainty_csv_header() : ""));
    }
    LineWriter out;
    if (const auto failure = open_output(out, args.output)) {
        return fail(*failure);
    }
    // Every accepted sample comes back placed as the window places it, with its four lines.
    const Treatment treated =
        treat_widths(*widths, cal, make_line_tables(cal), rule_name(rule->rule), out);
    // The table holds what was treated, also when the treatment stopped.
    std::optional<std::string> csv_failure;
    if (!args.csv.empty()) {
        const CsvTreatment treatment{args.reichweite, rule->rule, widths->broadening};
        for (const TreatedPair& pair : treated.pairs) {
            std::string row = result_csv_row(pair, *measured, *widths, treatment);
            if (sigmas) {
                row += uncertainty_csv_fields(pair.found.values ? uncertainties[pair.index]
                                                                : std::nullopt);
            }
            csv.line(row);
        }
        csv_failure = csv.close();
    }
    if (treated.failure) {
        return fail(*treated.failure);
    }
    if (csv_failure) {
        return fail(*csv_failure);
    }
    // Standard error, so that the summary never mixes with a result on standard output.
    if (!args.quiet) {
        std::cerr << "Wrote " << output_name(args.output) << ": " << treated.samples << " samples, "
                  << treated.placed << " identified, " << treated.errors << " Error.\n";
    }
    if (const auto unread = unread_numbers_message(*widths)) {
        std::cerr << *unread << "\n";
    }
    return kExitOk;
}

} // namespace

void add_treat_command(CLI::App& app, int& status) {
    auto args = std::make_shared<TreatArgs>();
    auto* command = app.add_subcommand(
        "treat", "Treat a sample width file (.IW) into a result file (.IWO), as the window's "
                 "File > Treat File does");
    command->add_option("FILE", args->input, "sample width file (.IW); - for standard input")
        ->required();
    command
        ->add_option("-o,--output", args->output,
                     "result file (.IWO) to create or overwrite; - for standard output")
        ->required();
    command->add_option("--csv", args->csv,
                        "also write one CSV row per sample, with the reason of every Error "
                        "line; - for standard output");
    command->add_flag("-q,--quiet", args->quiet, "leave out the summary line on standard error");
    add_reichweite_option(*command, args->reichweite);
    add_rule_options(*command, args->rule);
    add_sigma_options(*command, args->sigmas);
    command->get_option("--sigma")->needs(command->get_option("--csv"));
    command->callback([args, &status] { status = run_treat(*args); });
}

} // namespace teravine::cli
