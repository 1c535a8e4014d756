// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli treat FILE.IW -o FILE.IWO: the menu command "Treat File" without a window.
// Reads the width file, removes the broadening with the chosen rule, and writes the very
// result file the window writes with the same Reichweite and rule; every accepted sample
// is placed as the window places it.
#include "app/window_session.h"
#include "batch/result_csv.h"
#include "batch/result_target.h"
#include "batch/sample_list_file.h"
#include "batch/treatment.h"
#include "cli/commands.h"
#include "cli/instrument_option.h"
#include "cli/rule_options.h"
#include "cli/sample_input.h"
#include "cli/sigma_options.h"
#include "cli/standard_streams.h"
#include "lines/line_tables.h"
#include "model/calibration.h"
#include "peaks/peak_width.h"

#include <algorithm>
#include <filesystem>
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
    std::string session;
    SigmaArgs sigmas;
    bool quiet = false;
    std::string instrument;
};

int fail(const std::string& description) {
    std::cerr << description << "\n";
    return kExitFailure;
}

// The inputs just read that the result must not replace.
std::optional<std::string> replaces_an_input(const TreatArgs& args) {
    if (args.output.empty() || is_standard_stream(args.output)) {
        return std::nullopt;
    }
    for (const auto& [path, what] :
         {std::pair{args.input, "width file"}, std::pair{args.session, "session"},
          std::pair{args.instrument, "instrument profile"}}) {
        if (path.empty()) {
            continue;
        }
        if (auto same = result_replaces_input(args.output, path, what)) {
            return same;
        }
    }
    if (!args.rule.table.empty()) {
        return result_replaces_input(args.output, args.rule.table, "correction table");
    }
    return std::nullopt;
}

// The table of --csv must replace neither an input nor the result file.
std::optional<std::string> csv_problem(const TreatArgs& args) {
    if (args.csv.empty() || is_standard_stream(args.csv)) {
        if (is_standard_stream(args.csv) && !args.output.empty() &&
            is_standard_stream(args.output)) {
            return "teravine-cli treat: --csv - and -o - cannot both write to standard output";
        }
        return std::nullopt;
    }
    if (auto same = same_output({{args.output, "-o"}, {args.csv, "--csv"}})) {
        return "teravine-cli treat: " + *same;
    }
    for (const auto& [path, what] :
         {std::pair{args.input, "width file"}, std::pair{args.session, "session"},
          std::pair{args.rule.table, "correction table"},
          std::pair{args.instrument, "instrument profile"}}) {
        if (path.empty() || is_standard_stream(path)) {
            continue;
        }
        if (auto same = result_replaces_input(args.csv, path, what)) {
            return same;
        }
    }
    return std::nullopt;
}

// A saved session read as a named list: every sample with its name, its widths as
// measured (a click's as placed), its own broadening and u; and the session's Reichweite,
// rule, correction table and sigma in place of the options.
Outcome<SamplesInput> read_session_input(TreatArgs& args, RuleChoice& rule) {
    const auto session = read_session_file(args.session);
    if (!session) {
        return Failure{session.error()};
    }
    SamplesInput input;
    WidthFile& w = input.measured;
    w.title = "Session " + std::filesystem::path(args.session).filename().string();
    for (const SessionSample& sample : session->samples) {
        const SampleOrigin& o = sample.origin;
        w.names.push_back(o.name);
        w.ad.push_back(o.measured ? o.ad : sample.ad);
        w.eg.push_back(o.measured ? o.eg : sample.eg);
        w.broadenings.push_back(o.measured ? o.broadening : 0.0f);
        input.u_ad.push_back(o.u_ad);
        input.u_eg.push_back(o.u_eg);
        input.quality_ad.push_back(width_doubt(o, true));
        input.quality_eg.push_back(width_doubt(o, false));
    }
    w.count = static_cast<std::int16_t>(w.ad.size());
    // One broadening for all: the result file's header states it.
    if (std::all_of(w.broadenings.begin(), w.broadenings.end(),
                    [&](float b) { return b == w.broadenings.front(); })) {
        w.broadening = w.broadenings.empty() ? 0.0f : w.broadenings.front();
        w.broadenings.clear();
    }
    args.reichweite = make_calibration(session->reich).name();
    rule = {session->broad_rule, session->cor};
    if (session->sigma > 0 && args.sigmas.sigma < 0) {
        args.sigmas.sigma = session->sigma;
    }
    return input;
}

// The profile's b in place of the broadening the samples state (a width file's line 3, a
// list's column, a session's samples), and the words that say so.
std::string replace_broadening(WidthFile& measured, const InstrumentProfile& profile,
                               const std::string& source) {
    const std::string stated =
        measured.broadenings.empty() ? width_text(measured.broadening) : std::string("their own");
    measured.broadening = static_cast<float>(profile.b);
    measured.broadenings.clear();
    return "The instrumental broadening of \"" + source + "\" (" + stated +
           ") was replaced by the instrument profile's b = " + width_text(profile.b) + " (" +
           profile.standard + ", " + profile.method + ").";
}

int run_treat(TreatArgs args, const CLI::App& command) {
    if (args.input.empty() == args.session.empty()) {
        return fail("teravine-cli treat: give a width file, a sample list or --session");
    }
    // A correction table that cannot be read ends here, as the option "File table" does.
    auto rule = choose_rule(args.rule);
    if (!rule) {
        // Options misused are named after the command; a file's own failure stands alone.
        const bool about_options = rule.error().rfind("--", 0) == 0;
        return fail(about_options ? "teravine-cli treat: " + rule.error() : rule.error());
    }
    const auto instrument = chosen_instrument(args.instrument);
    if (!instrument) {
        return fail(instrument.error());
    }
    auto input = args.session.empty() ? read_samples_input(args.input)
                                      : read_session_input(args, rule.value());
    if (!input) {
        return fail(input.error());
    }
    std::string replaced_note;
    if (*instrument) {
        replaced_note = replace_broadening(input.value().measured, **instrument,
                                           args.session.empty() ? args.input : args.session);
    }
    if (args.output.empty() && args.session.empty() && !is_sample_list_path(args.input)) {
        return fail("teravine-cli treat: a width file (.IW) needs -o for its result file");
    }
    if (args.output.empty() && args.csv.empty()) {
        return fail("teravine-cli treat: a sample list needs -o, --csv or both");
    }
    if (!args.output.empty() && !input->measured.broadenings.empty()) {
        return fail("teravine-cli treat: the samples of \"" +
                    (args.session.empty() ? args.input : args.session) +
                    "\" differ in broadening, and a result file (.IWO) states one; "
                    "leave out -o and write --csv");
    }
    const WidthFile* measured = &input->measured;
    auto widths = input->measured;
    correct_widths(widths, rule->rule, rule->table);
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
    bool with_intervals = false;
    // A list that states the doubts on its widths keeps them in the table.
    const auto stated = [](const std::vector<std::string>& qualities) {
        return std::any_of(qualities.begin(), qualities.end(),
                           [](const std::string& q) { return !q.empty(); });
    };
    const bool with_quality = stated(input->quality_ad) || stated(input->quality_eg);
    if (!args.csv.empty()) {
        if (const auto failure = open_output_whole(csv, args.csv)) {
            return fail(*failure);
        }
        // The intervals start from the widths as measured, with the file's broadening.
        // A listed sample's own u stands in for --sigma.
        sigmas = chosen_sigmas(args.sigmas);
        take_instrument_sigma(sigmas, *instrument, command);
        with_intervals = sigmas.has_value() || any_own_sigma(*input);
        if (with_intervals) {
            // Each sample under its own u, or else the shared sigma, all on every core.
            std::vector<MeasuredPair> pairs;
            for (std::size_t i = 0; i < measured->ad.size(); ++i) {
                auto own = i < input->u_ad.size()
                               ? sample_sigmas(input->u_ad[i], input->u_eg[i], sigmas)
                               : sigmas;
                take_instrument_sigma(own, *instrument, command);
                pairs.push_back({measured->ad[i],
                                 measured->eg[i],
                                 {measured->broadening_of(i), rule->rule, &rule->table},
                                 own});
            }
            uncertainties = width_uncertainties(cal, pairs, std::nullopt);
        }
        csv.line(result_csv_header() + (with_intervals ? uncertainty_csv_header() : "") +
                 (with_quality ? ",quality_ad,quality_eg" : ""));
    }
    LineWriter out; // without -o (a list or a session only) the result lines go nowhere
    if (!args.output.empty()) {
        if (const auto failure = open_output_whole(out, args.output)) {
            return fail(*failure);
        }
    }
    // Every accepted sample comes back placed as the window places it, with its four lines.
    const Treatment treated =
        treat_widths(widths, cal, make_line_tables(cal), rule_name(rule->rule), out);
    // The table holds what was treated; when the treatment stopped, a table written to a
    // file is abandoned with the result file, and the previous one stays.
    std::optional<std::string> csv_failure;
    if (!args.csv.empty()) {
        const CsvTreatment treatment{args.reichweite, rule->rule, widths.broadening};
        for (const TreatedPair& pair : treated.pairs) {
            std::string row = result_csv_row(pair, *measured, widths, treatment);
            if (with_intervals) {
                row += uncertainty_csv_fields(pair.found.values ? uncertainties[pair.index]
                                                                : std::nullopt);
            }
            if (with_quality) {
                row += ',' + csv_field(input->quality_ad[pair.index]) + ',' +
                       csv_field(input->quality_eg[pair.index]);
            }
            csv.line(row);
        }
        if (treated.failure) {
            csv.abandon();
        } else {
            csv_failure = csv.close();
        }
    }
    if (treated.failure) {
        return fail(*treated.failure);
    }
    if (csv_failure) {
        return fail(*csv_failure);
    }
    // Standard error, so that the summary never mixes with a result on standard output.
    if (!args.quiet) {
        std::cerr << "Wrote " << output_name(args.output.empty() ? args.csv : args.output) << ": "
                  << treated.samples << " samples, " << treated.placed << " identified, "
                  << treated.errors << " Error.\n";
    }
    if (!replaced_note.empty()) {
        std::cerr << replaced_note << "\n";
    }
    // Doubtful widths were treated as they were listed; the user hears of each.
    for (const TreatedPair& pair : treated.pairs) {
        if (const auto doubt = sample_doubt(*input, pair.index)) {
            std::cerr << *doubt << "\n";
        }
    }
    if (const auto unread = unread_numbers_message(widths)) {
        std::cerr << *unread << "\n";
    }
    return kExitOk;
}

} // namespace

void add_treat_command(CLI::App& app, int& status) {
    auto args = std::make_shared<TreatArgs>();
    auto* command = app.add_subcommand(
        "treat", "Treat a sample width file (.IW) into a result file (.IWO), as the window's "
                 "File > Treat File does, or a named sample list (.csv)");
    command->add_option(
        "FILE", args->input,
        "sample width file (.IW) or named sample list (.csv: name,ad,eg and "
        "optionally broadening,u_ad,u_eg,quality_ad,quality_eg); - for standard input");
    command->add_option("-o,--output", args->output,
                        "result file (.IWO) to create or overwrite; - for standard output; "
                        "needed with a width file");
    command->add_option("--csv", args->csv,
                        "also write one CSV row per sample, with the reason of every Error "
                        "line; - for standard output");
    command->add_flag("-q,--quiet", args->quiet, "leave out the summary line on standard error");
    add_reichweite_option(*command, args->reichweite);
    add_rule_options(*command, args->rule);
    command
        ->add_option("--session", args->session,
                     "treat the samples of a session saved by the window (File > Save "
                     "Session…) under its Reichweite, rule, correction table and sigma")
        ->excludes("FILE")
        ->excludes("--reichweite")
        ->excludes("--rule")
        ->excludes("--table");
    add_sigma_options(*command, args->sigmas);
    command->get_option("--sigma")->needs(command->get_option("--csv"));
    add_instrument_option(*command, args->instrument);
    command->callback([args, command, &status] { status = run_treat(*args, *command); });
}

} // namespace teravine::cli
