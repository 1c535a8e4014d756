// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli measure AD EG: the FWHM of the 001 peak of the air-dried and the
// glycolated pattern, and with --identify the pair placed as the typed entry places it;
// measure --pairs LIST.csv -o FILE.IW: a width file measured from many pattern pairs;
// measure --folder DIR -o LIST.csv: the same of the pairs a folder's file names make.
#include "cli/cis_notes.h"
#include "cli/commands.h"
#include "cli/instrument_option.h"
#include "cli/measure_pairs.h"
#include "cli/measure_rows.h"
#include "cli/method_options.h"
#include "cli/pattern_options.h"
#include "cli/peak_figure.h"
#include "cli/rule_options.h"
#include "formats/pattern_formats.h"
#include "identify/width_entry.h"
#include "model/calibration.h"
#include "standards/calibration_method.h"
#include "standards/cis_calibration.h"

#include <charconv>
#include <iostream>
#include <memory>

namespace teravine::cli {
namespace {

struct MeasureArgs {
    std::string ad;
    std::string eg;
    std::string range = "6.5:11.5";
    std::string peak = "illite-001";
    bool identify = false;
    std::string reichweite = "R0";
    RuleArgs rule;
    std::string broadening;
    std::string figure;
    PatternArgs pattern;
    MethodArgs method;
    std::size_t scan_eg = 0; // 0: the same as --scan
    PairsJob pairs;
    std::string instrument;
    std::string cis;
    std::string zones; // empty: the index's default
};

// A broadening as the typed entry takes it: the shortest text of its float.
std::string broadening_text(double b) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, static_cast<float>(b)).ptr);
}

// The row with the calibrated columns put before `method` and `quality`, the last two.
std::string with_cis_columns(std::string row, const std::string& cells) {
    const auto quality = row.rfind('\t');
    const auto method = row.rfind('\t', quality - 1);
    return row.insert(method, cells);
}

std::string cis_header(CisIndex index) {
    return "\t" + cis_column(index) + "\t" + cis_u_column(index) +
           "\tzone\tzone_limits\tnear_limit";
}

std::string cis_cells(const CisCalibration& calibration, const std::optional<ZoneLimits>& limits,
                      const Measured& m) {
    const CisValue v = apply_cis(calibration, m.width.fwhm, m.width.u_fwhm, limits);
    return "\t" + width_text(v.ki_cis) + "\t" + width_text(v.u_ki_cis) + "\t" + v.zone + "\t" +
           (limits ? limits_text(*limits) : std::string()) + "\t" + v.near_limit;
}

// A calibration applied to a width measured otherwise than its standards: the width's
// quality says so, and standard error names what differs.
void flag_against(Measured& ad, const CisCalibration& calibration, const std::string& measured) {
    const std::string which = method_differences_text(calibration.method, measured);
    if (which.empty()) {
        return;
    }
    PeakWidth& w = ad.width;
    w.quality = w.quality == "ok" ? kCisMethod : w.quality + ";" + kCisMethod;
    std::cerr << "The calibration's standards were measured by " << calibration.method
              << ", the sample by " << measured << " (they differ in " << which
              << "): the calibration does not carry over.\n";
}

int fail(const std::string& description) {
    std::cerr << "teravine-cli measure: " << description << "\n";
    return kExitFailure;
}

// The measured widths, as printed, go through the checks and the correction of the
// window's "Draw" with the broadening typed in its box, then into `identify`.
int identify_measured(const MeasureArgs& args, const Measured& ad, const Measured& eg,
                      double u_broadening) {
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
    sigmas.broadening = static_cast<float>(u_broadening);
    return identify_and_print(entry.ad, entry.eg, {entry.broadening, rule->rule, &rule->table},
                              args.reichweite, sigmas);
}

// ".xrdml, .raw, ..., .csv": what the readers take.
std::string suffix_list() {
    std::string list;
    for (const std::string_view suffix : pattern_suffixes()) {
        list += (list.empty() ? "" : ", ") + std::string(suffix);
    }
    return list;
}

int run_measure(MeasureArgs& args, const CLI::App& command) {
    const bool chlorite = args.peak == "chlorite-002";
    if (chlorite && command.get_option("--range")->count() == 0) {
        args.range = range_text(index_peak_range(CisIndex::arkai));
    }
    PairsJob& job = args.pairs;
    const bool many = !job.list.empty() || !job.folder.empty();
    if (chlorite && (args.identify || many)) {
        return fail("--peak chlorite-002 measures the Arkai index: it takes no --identify, "
                    "--pairs or --folder, which are for illite widths");
    }
    const auto instrument = chosen_instrument(args.instrument);
    if (!instrument) {
        std::cerr << instrument.error() << "\n";
        return kExitFailure;
    }
    if (*instrument) {
        args.broadening = broadening_text((*instrument)->b);
    }
    std::optional<CisCalibration> calibration;
    const auto limits =
        parse_zone_limits_for(chlorite ? CisIndex::arkai : CisIndex::kubler, args.zones);
    if (!limits) {
        return fail(limits.error());
    }
    if (!args.cis.empty()) {
        auto read = read_cis_calibration(args.cis);
        if (!read) {
            std::cerr << read.error() << "\n";
            return kExitFailure;
        }
        if ((read->index == CisIndex::arkai) != chlorite) {
            return fail("the calibration \"" + args.cis + "\" is of the " +
                        (chlorite ? "Kubler" : "Arkai") + " index; --peak " +
                        (chlorite ? "illite-001" : "chlorite-002") + " measures that one");
        }
        calibration = std::move(read.value());
    }
    const auto range = parse_range(args.range);
    if (!range) {
        return fail(range_refusal("6.5:11.5"));
    }
    const auto measuring = measuring_choice(args.pattern, args.method);
    if (!measuring) {
        return fail(measuring.error());
    }
    const PatternChoice* choice = &measuring->pattern;
    const WidthMethod* method = &measuring->method;
    if (many) {
        const char* option = job.list.empty() ? "--folder" : "--pairs";
        if (!job.list.empty() && !job.folder.empty()) {
            return fail("give --pairs or --folder, not both");
        }
        if (!args.ad.empty() || args.identify || !args.figure.empty() || args.scan_eg > 0 ||
            calibration) {
            return fail(std::string(option) +
                        " takes no pattern files, --identify, --figure, --scan-eg or --cis");
        }
        if (job.output.empty()) {
            return fail(std::string(option) + " needs -o LIST.csv or -o FILE.IW");
        }
        if (const auto problem = pairing_rule_problem(job.rule, "--ad", "--eg")) {
            return fail(*problem);
        }
        job.broadening = args.broadening;
        job.range = *range;
        job.choice = *choice;
        job.method = *method;
        job.instrument = *instrument;
        job.instrument_file = args.instrument;
        return run_measure_pairs(job);
    }
    if (args.eg.empty()) {
        return fail("give the AD and the EG pattern, --pairs LIST.csv or --folder DIR");
    }
    if (!job.output.empty() || !job.csv.empty()) {
        return fail("-o and --csv go with --pairs or --folder");
    }
    if (!args.broadening.empty() && !args.identify && !*instrument) {
        return fail("--broadening goes with --identify, --pairs or --folder");
    }
    PatternChoice eg_choice = *choice;
    if (args.scan_eg > 0) {
        eg_choice.scan = args.scan_eg;
    }
    auto ad = measure_file(args.ad, *choice, *range, *method);
    auto eg = measure_file(args.eg, eg_choice, *range, *method);
    for (const auto* side : {&ad, &eg}) {
        if (!*side) {
            std::cerr << side->error() << "\n";
        }
    }
    if (!ad || !eg) {
        return kExitFailure;
    }
    const std::string ad_method = full_method_name(*method, *range, fitted_alpha2_ratio(ad->fit));
    flag_against(ad.value(), *instrument, *method, *range);
    flag_against(eg.value(), *instrument, *method, *range);
    if (calibration) {
        flag_against(ad.value(), *calibration, ad_method);
        // The calibrated value is that of the air-dried width; the EG row leaves it empty.
        std::cout << with_cis_columns(kMeasureHeader, cis_header(calibration->index)) << "\n"
                  << with_cis_columns(measured_row("AD", *ad),
                                      cis_cells(*calibration, *limits, *ad))
                  << "\n"
                  << with_cis_columns(measured_row("EG", *eg), "\t\t\t\t\t") << "\n";
        std::cout.flush();
        std::cerr << zones_note(calibration->index, *limits) << "\n"
                  << uncertainty_note(*calibration, cis_u_column(calibration->index) + " is")
                  << "\n";
    } else {
        std::cout << kMeasureHeader << "\n"
                  << measured_row("AD", *ad) << "\n"
                  << measured_row("EG", *eg) << "\n";
    }
    for (const auto& [side, m] : {std::pair{"AD", &*ad}, std::pair{"EG", &*eg}}) {
        for (const std::string& note : measure_notes(side, *m)) {
            std::cerr << note << "\n";
        }
    }
    if (method->fits()) {
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
    return args.identify ? identify_measured(args, *ad, *eg, *instrument ? (*instrument)->u_b : 0)
                         : kExitOk;
}

} // namespace

void add_measure_command(CLI::App& app, int& status) {
    auto args = std::make_shared<MeasureArgs>();
    auto* command = app.add_subcommand(
        "measure", "Measure the FWHM of the illite 001 peak of an air-dried and a glycolated "
                   "pattern (" +
                       suffix_list() + ")");
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
    command->add_option(
        "--broadening", args->broadening,
        "instrumental broadening, degrees 2-theta (with --identify, --pairs or --folder)");
    command->add_option("--figure", args->figure,
                        "also draw both measured peaks into this PNG, SVG or PDF file");
    command->add_option("--pairs", args->pairs.list,
                        "CSV list name,ad,eg of pattern pairs (paths relative to the list)");
    auto* folder = command->add_option(
        "--folder", args->pairs.folder,
        "measure every pair of AD and EG patterns of this folder, paired by their names: "
        "pit 3_AD.raw and pit 3_EG.raw (_AD/_EG, -ad/-gly, AD/EG, in any case) make the pair "
        "\"pit 3\"; the files left unpaired are named on standard error");
    command
        ->add_option("--ad", args->pairs.rule.ad,
                     "with --folder: the AD files' names, such as '*_1.raw', the '*' the stem "
                     "(with --eg)")
        ->needs(folder);
    command
        ->add_option("--eg", args->pairs.rule.eg,
                     "with --folder: the EG files' names, such as '*_2.raw' (with --ad)")
        ->needs(folder);
    command->add_option("-o,--output", args->pairs.output,
                        "with --pairs or --folder: the named list (.csv) or width file (.IW) to "
                        "write; - for standard output");
    command->add_option("--csv", args->pairs.csv,
                        "with --pairs or --folder, also write every measurement to this CSV file");
    add_instrument_option(*command, args->instrument);
    command
        ->add_option("--peak", args->peak,
                     "illite-001 (the Kubler index, the default) or chlorite-002 (the Arkai "
                     "index; default range " +
                         range_text(index_peak_range(CisIndex::arkai)) + ")")
        ->check(CLI::IsMember({"illite-001", "chlorite-002"}));
    auto* cis = command->add_option(
        "--cis", args->cis,
        "CIS calibration (JSON, from teravine-cli cis fit): ki_cis (ai_cis for chlorite-002), "
        "its u, zone and near_limit of the AD width");
    command
        ->add_option("--zones", args->zones,
                     "with --cis: the anchizone's limits, 2015 (0.32-0.52, the default for "
                     "illite-001), 1994 (0.25-0.42) or LO:HI (chlorite-002: only LO:HI of "
                     "your own, no zone without)")
        ->needs(cis);
    command->callback([args, command, &status] { status = run_measure(*args, *command); });
}

} // namespace teravine::cli
