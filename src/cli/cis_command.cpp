// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli cis fit STANDARDS.csv -o CALIBRATION.json: the laboratory's calibration to
// the CIS scale from its standards; cis apply CALIBRATION.json: widths on the CIS scale
// with their uncertainty and metamorphic zone.
#include "batch/csv_table.h"
#include "batch/result_target.h"
#include "cli/cis_notes.h"
#include "cli/commands.h"
#include "cli/measure_rows.h"
#include "cli/method_options.h"
#include "cli/renderer_library.h"
#include "cli/standard_streams.h"
#include "standards/calibration_method.h"
#include "standards/cis_calibration.h"

#include <cmath>
#include <filesystem>
#include <iostream>
#include <memory>

namespace teravine::cli {
namespace {

struct FitArgs {
    std::string list;
    std::string output;
    std::string index = "kubler";
    std::string range;  // empty: the index's own
    std::string figure; // the standards, the line and the residuals drawn, when given
    PatternArgs pattern;
    MethodArgs method;
};

struct ApplyArgs {
    std::string calibration;
    std::vector<double> widths;
    std::string csv;
    std::string zones; // empty: the index's default
};

int fail(const std::string& description) {
    std::cerr << "teravine-cli cis: " << description << "\n";
    return kExitFailure;
}

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& name : names) {
        out += (out.empty() ? "" : ", ") + name;
    }
    return out;
}

// A list of standards or widths ("-": standard input): every header name one of `known`,
// the names of `needed` there; short lists, so 100000 rows at most.
Outcome<CsvTable> read_list(const std::string& path, const std::vector<std::string>& known,
                            const std::vector<std::string>& needed) {
    const auto content = read_input_text(path);
    if (!content) {
        return Failure{content.error()};
    }
    const CsvColumns columns{known, "; its columns are " + joined(known) + ".", 100000,
                             " holds more than 100000 rows."};
    auto table = CsvTable::read(*content, "The list \"" + path + "\"", columns);
    if (!table) {
        return table;
    }
    for (const auto& name : needed) {
        if (!table->has(name)) {
            return Failure{table->subject() + " has no column \"" + name + "\"; it needs " +
                           joined(needed) + "."};
        }
    }
    return table;
}

// A width as a standard's or a sample's: finite and above 0.
bool is_width(double value) {
    return std::isfinite(value) && value > 0;
}

struct Measuring {
    PatternChoice choice;
    PeakRange range;
    WidthMethod method;
    std::filesystem::path folder;      // the list's, where its patterns' paths start
    std::vector<NamedRatio> fits = {}; // the Kα2 ratio each standard's fit took
};

// One standard of the list: its CIS value given or known, its width given or
// measured on its pattern.
Outcome<CisStandard> standard_of(const CsvTable& table, const CsvTable::Row& row, CisIndex index,
                                 Measuring& measuring) {
    CisStandard s;
    s.name = table.text(row, "name");
    if (s.name.empty()) {
        return Failure{table.place(row, "name") + " no name."};
    }
    const auto cis = table.number(row, "cis");
    if (!cis) {
        return Failure{cis.error()};
    }
    if (const auto value = standard_value(*cis, s.name, index)) {
        s.cis = *value;
    } else {
        return Failure{table.place(row, "cis") + " no CIS value, and \"" + s.name +
                       "\" is not a standard whose " +
                       (index == CisIndex::kubler ? "Kubler" : "Arkai") +
                       " index this program knows: give its value."};
    }
    const auto fwhm = table.number(row, "fwhm");
    const auto u_fwhm = table.number(row, "u_fwhm");
    if (!fwhm || !u_fwhm) {
        return Failure{!fwhm ? fwhm.error() : u_fwhm.error()};
    }
    const std::string pattern = table.text(row, "pattern");
    if (*fwhm && !pattern.empty()) {
        return Failure{table.place(row, "pattern") + " a pattern beside a width: give one."};
    }
    if (*fwhm) {
        s.fwhm = **fwhm;
        s.u_fwhm = u_fwhm->value_or(0);
    } else if (!pattern.empty()) {
        const auto measured = measure_file((measuring.folder / pattern).string(), measuring.choice,
                                           measuring.range, measuring.method);
        if (!measured) {
            return Failure{measured.error()};
        }
        if (!measured->scan_note.empty()) {
            std::cerr << measured->scan_note << "\n";
        }
        if (measured->width.quality != "ok") {
            std::cerr << s.name << ": the width is doubtful: " << measured->width.quality << "\n";
        }
        s.fwhm = measured->width.fwhm;
        s.u_fwhm = measured->width.u_fwhm;
        measuring.fits.push_back({s.name, fitted_alpha2_ratio(measured->fit)});
    } else {
        return Failure{table.place(row, "fwhm") + " neither a width nor a pattern."};
    }
    if (!is_width(s.fwhm) || !is_width(s.cis) || !(s.u_fwhm >= 0)) {
        return Failure{table.place(row, "fwhm") + " a width, u or CIS value that is not "
                                                  "above 0."};
    }
    return s;
}

int run_fit(const FitArgs& args) {
    const auto index = cis_index_named(args.index);
    if (!index) {
        return fail("--index is kubler or arkai, not \"" + args.index + "\"");
    }
    Measuring measuring;
    const auto range =
        parse_range(!args.range.empty() ? args.range : range_text(index_peak_range(*index)));
    const auto chosen = measuring_choice(args.pattern, args.method);
    if (!range) {
        return fail(range_refusal("6.5:11.5"));
    }
    if (!chosen) {
        return fail(chosen.error());
    }
    const WidthMethod* method = &chosen->method;
    measuring = {chosen->pattern, *range, *method,
                 is_standard_stream(args.list) ? std::filesystem::path()
                                               : std::filesystem::path(args.list).parent_path()};
    const auto table =
        read_list(args.list, {"name", "cis", "fwhm", "u_fwhm", "pattern"}, {"name", "cis"});
    if (!table) {
        std::cerr << table.error() << "\n";
        return kExitFailure;
    }
    if (!table->has("fwhm") && !table->has("pattern")) {
        std::cerr << "The list \"" << args.list
                  << "\" has neither a column \"fwhm\" nor a column \"pattern\".\n";
        return kExitFailure;
    }
    // The figure is an output as the calibration is: a format it can write, another file.
    if (!args.figure.empty() && !image_format_for(args.figure)) {
        return fail(unknown_format_message(args.figure));
    }
    if (const auto same = same_output({{args.output, "-o"}, {args.figure, "--figure"}})) {
        return fail(*same);
    }
    for (const std::string& output : {args.output, args.figure}) {
        if (const auto same = result_replaces_input(output, args.list, "list of standards")) {
            std::cerr << *same << "\n";
            return kExitFailure;
        }
        for (const auto& row : table->rows()) {
            const std::string pattern = table->text(row, "pattern");
            if (pattern.empty()) {
                continue;
            }
            const auto path = (measuring.folder / pattern).string();
            if (const auto same = result_replaces_input(output, path, "standard's pattern")) {
                std::cerr << *same << "\n";
                return kExitFailure;
            }
        }
    }
    std::vector<CisStandard> standards;
    for (const auto& row : table->rows()) {
        auto standard = standard_of(*table, row, *index, measuring);
        if (!standard) {
            std::cerr << standard.error() << "\n";
            return kExitFailure;
        }
        standards.push_back(std::move(standard.value()));
    }
    const auto fitted = common_alpha2_ratio(measuring.fits);
    if (!fitted) {
        return fail(fitted.error() + ": give one with --alpha2-ratio.");
    }
    // Widths given in the list were fitted with the ratio the user states, if any.
    const auto ratio = *fitted ? *fitted : measuring.choice.alpha2_ratio;
    const auto fit =
        fit_cis(std::move(standards), *index, full_method_name(*method, measuring.range, ratio));
    if (!fit) {
        std::cerr << "The list \"" << args.list << "\": " << fit.error() << "\n";
        return kExitFailure;
    }
    std::ostream* said = write_result_bytes(args.output, cis_calibration_json(*fit));
    if (said == nullptr) {
        return kExitFailure;
    }
    if (!args.figure.empty()) {
        const auto renderer = figure_renderer();
        if (!renderer) {
            std::cerr << renderer.error() << "\n";
            return kExitFailure;
        }
        if (const auto failure = (*renderer)->cis_image(args.figure, *fit, default_zone_limits())) {
            std::cerr << *failure << "\n";
            return kExitFailure;
        }
    }
    *said << "intercept\t" << width_text(fit->intercept) << "\nu_intercept\t"
          << width_text(fit->u_intercept) << "\nslope\t" << width_text(fit->slope) << "\nu_slope\t"
          << width_text(fit->u_slope) << "\nr\t" << width_text(fit->r) << "\ns\t"
          << width_text(fit->s) << "\nn\t" << fit->n << "\ndf\t" << cis_degrees_of_freedom(*fit)
          << "\nname\tfwhm\tcis\tresidual\tloo_residual\n";
    for (std::size_t i = 0; i < fit->standards.size(); ++i) {
        const CisStandard& s = fit->standards[i];
        *said << s.name << "\t" << width_text(s.fwhm) << "\t" << width_text(s.cis) << "\t"
              << width_text(fit->residuals[i]) << "\t" << width_text(fit->loo_residuals[i]) << "\n";
    }
    said->flush();
    std::cerr << uncertainty_note(*fit, "u_intercept, u_slope and s are each") << "\n";
    if (const auto note = guideline_note(*fit)) {
        std::cerr << *note << "\n";
    }
    return kExitOk;
}

struct Width {
    std::string name;
    double fwhm = 0;
    double u_fwhm = 0;
};

// The widths of a list: a `fwhm` column (with `u_fwhm`), or the `ad` column of a named
// sample list (with `u_ad`); names when it has them.
Outcome<std::vector<Width>> widths_of_list(const std::string& path) {
    const auto table =
        read_list(path, {"name", "fwhm", "u_fwhm", "ad", "u_ad", "eg", "u_eg", "broadening"}, {});
    if (!table) {
        return Failure{table.error()};
    }
    const bool fwhm = table->has("fwhm");
    if (!fwhm && !table->has("ad")) {
        return Failure{"The list \"" + path + "\" has neither a column \"fwhm\" nor \"ad\"."};
    }
    const std::string width_column = fwhm ? "fwhm" : "ad";
    const std::string u_column = fwhm ? "u_fwhm" : "u_ad";
    std::vector<Width> widths;
    for (const auto& row : table->rows()) {
        const auto value = table->number(row, width_column);
        const auto u = table->number(row, u_column);
        if (!value || !u) {
            return Failure{!value ? value.error() : u.error()};
        }
        if (!*value || !is_width(**value) || u->value_or(0) < 0) {
            return Failure{table->place(row, width_column) + " no width above 0, or a negative u."};
        }
        widths.push_back({table->text(row, "name"), **value, u->value_or(0)});
    }
    return widths;
}

int run_apply(const ApplyArgs& args) {
    if (args.widths.empty() == args.csv.empty()) {
        return fail("give the widths to convert or --csv LIST.csv, one of the two");
    }
    const auto calibration = read_cis_calibration(args.calibration);
    if (!calibration) {
        std::cerr << calibration.error() << "\n";
        return kExitFailure;
    }
    const auto limits = parse_zone_limits_for(calibration->index, args.zones);
    if (!limits) {
        return fail(limits.error());
    }
    std::vector<Width> widths;
    if (!args.csv.empty()) {
        auto listed = widths_of_list(args.csv);
        if (!listed) {
            std::cerr << listed.error() << "\n";
            return kExitFailure;
        }
        widths = std::move(listed.value());
    }
    for (const double w : args.widths) {
        if (!is_width(w)) {
            return fail("a width must be a number of degrees above 0");
        }
        widths.push_back({"", w, 0});
    }
    const bool named = !args.csv.empty();
    std::cout << (named ? "name\t" : "") << "fwhm\t" << cis_column(calibration->index) << "\t"
              << cis_u_column(calibration->index) << "\tzone\tzone_limits\tnear_limit\n";
    double lowest = HUGE_VAL, highest = -HUGE_VAL;
    for (const CisStandard& s : calibration->standards) {
        lowest = std::min(lowest, s.fwhm);
        highest = std::max(highest, s.fwhm);
    }
    bool outside = false;
    for (const Width& w : widths) {
        const CisValue v = apply_cis(*calibration, w.fwhm, w.u_fwhm, *limits);
        std::cout << (named ? w.name + "\t" : "") << width_text(w.fwhm) << "\t"
                  << width_text(v.ki_cis) << "\t" << width_text(v.u_ki_cis) << "\t" << v.zone
                  << "\t" << (*limits ? limits_text(**limits) : std::string()) << "\t"
                  << v.near_limit << "\n";
        outside = outside || w.fwhm < lowest || w.fwhm > highest;
    }
    std::cout.flush();
    std::cerr << zones_note(calibration->index, *limits) << "\n"
              << uncertainty_note(*calibration, cis_u_column(calibration->index) + " is") << "\n";
    if (outside) {
        std::cerr << "Some widths lie outside those of the standards (" << width_text(lowest)
                  << " to " << width_text(highest) << "): their values are extrapolated.\n";
    }
    return kExitOk;
}

} // namespace

void add_cis_command(CLI::App& app, int& status) {
    auto* cis = app.add_subcommand(
        "cis", "Calibrate measured Kubler (or Arkai) indices to the CIS scale with standards");
    cis->require_subcommand(1);

    auto fit_args = std::make_shared<FitArgs>();
    auto* fit = cis->add_subcommand(
        "fit", "Fit CIS value = intercept + slope * measured over the standards of a list "
               "(columns name, cis, and fwhm or pattern)");
    fit->add_option("STANDARDS", fit_args->list,
                    "CSV list of the standards: name,cis and fwhm (u_fwhm) or pattern (paths "
                    "relative to the list); an empty cis takes a known standard's CIS value")
        ->required();
    fit->add_option("-o,--output", fit_args->output,
                    "the calibration (JSON) to write; - for standard output")
        ->required();
    fit->add_option("--index", fit_args->index,
                    "kubler (illite 10 A, the default) or arkai (chlorite 7 A)")
        ->check(CLI::IsMember({"kubler", "arkai"}));
    fit->add_option("--range", fit_args->range,
                    "2-theta range LO:HI of the standards' peak (default " +
                        range_text(index_peak_range(CisIndex::kubler)) + ", for arkai " +
                        range_text(index_peak_range(CisIndex::arkai)) + ")");
    fit->add_option("--figure", fit_args->figure,
                    "a figure of the standards, the fitted line and the residuals: .png, .svg "
                    "or .pdf");
    add_pattern_options(*fit, fit_args->pattern);
    add_method_options(*fit, fit_args->method);
    fit->callback([fit_args, &status] { status = run_fit(*fit_args); });

    auto apply_args = std::make_shared<ApplyArgs>();
    auto* apply = cis->add_subcommand(
        "apply", "Put measured widths on the CIS scale, with their uncertainty and zone");
    apply->add_option("CALIBRATION", apply_args->calibration, "the calibration (JSON) of cis fit")
        ->required();
    apply->add_option("FWHM", apply_args->widths, "measured widths, degrees 2-theta");
    apply->add_option("--csv", apply_args->csv,
                      "a list with a fwhm (and u_fwhm) column, or a named sample list (its ad "
                      "and u_ad); - for standard input");
    apply->add_option("--zones", apply_args->zones,
                      "the anchizone's limits: 2015 (0.32-0.52, the default for the Kubler "
                      "index), 1994 (0.25-0.42) or LO:HI (an Arkai index is judged only by "
                      "limits LO:HI of your own)");
    apply->callback([apply_args, &status] { status = run_apply(*apply_args); });
}

} // namespace teravine::cli
