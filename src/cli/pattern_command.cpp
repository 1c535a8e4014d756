// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli pattern FILE: any pattern file Teravine reads written out as two columns
// of 2θ and counts, or with --info what the file states of its scans.
#include "batch/result_target.h"
#include "cli/commands.h"
#include "cli/pattern_options.h"
#include "cli/standard_streams.h"
#include "formats/anode.h"
#include "peaks/count_scale.h"

#include <charconv>
#include <iostream>
#include <memory>

namespace teravine::cli {
namespace {

struct PatternCommandArgs {
    std::string file;
    PatternArgs pattern;
    bool info = false;
    std::string output = "-";
};

int fail(const std::string& description) {
    std::cerr << "teravine-cli pattern: " << description << "\n";
    return kExitFailure;
}

// The shortest text that reads back as the same double, '.' always.
std::string exact(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// Six decimals at most, the zeros after the last digit left off: what a file states is
// shown as it was written, and an angle computed from a start and a step is rounded.
std::string figure(double value) {
    char text[400]; // the largest double has 309 digits before the point
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    if (ec != std::errc()) {
        return "nan";
    }
    std::string shown(text, end);
    shown.erase(shown.find_last_not_of('0') + 1);
    if (shown.back() == '.') {
        shown.pop_back();
    }
    return shown == "-0" ? "0" : shown;
}

std::string optional_figure(const std::optional<double>& value) {
    return value ? figure(*value) : std::string();
}

// The key and value lines of one scan, after `format` and `scans`: what the file states,
// then what is assumed where it states nothing: the Kα2 ratio fitted (`file` or
// `assumed`), and how the counts' noise is found (count_scale).
void scan_lines(const Pattern& scan, std::vector<std::string>& lines) {
    const std::size_t n = scan.two_theta.size();
    const double start = scan.two_theta.front();
    const double end = scan.two_theta.back();
    std::string anode = scan.anode;
    if (anode.empty() && scan.wavelength) {
        anode = anode_of(*scan.wavelength);
    }
    lines.push_back("points\t" + std::to_string(n));
    lines.push_back("start\t" + figure(start));
    lines.push_back("end\t" + figure(end));
    lines.push_back("step\t" + figure((end - start) / static_cast<double>(n - 1)));
    lines.push_back("wavelength\t" + optional_figure(scan.wavelength));
    lines.push_back("alpha2_ratio\t" + figure(scan.alpha2_ratio.value_or(kAssumedAlpha2Ratio)));
    lines.push_back("anode\t" + anode);
    lines.push_back("counting_time\t" + optional_figure(scan.counting_time));
    lines.push_back(std::string("units\t") +
                    (scan.units == CountUnits::per_second ? "cps" : "counts"));
    lines.push_back(std::string("alpha2_ratio_source\t") +
                    (scan.alpha2_ratio ? "file" : "assumed"));
    lines.push_back("count_basis\t" + std::string(count_basis_name(count_scale(scan).basis)));
}

// With --scan, or for a file of one scan, the keys of the one scan. A file of several
// without --scan is described whole, so that its scans can be found: after `format` and
// `scans`, each scan's lines follow its number (`scan`) and its name in the file
// (`label`, empty when it has none).
// The scans are moved out of `file` as they are described: a pattern of millions of
// points is not copied.
Outcome<std::vector<std::string>> info_lines(PatternFile& file, const PatternChoice& choice,
                                             const std::string& path) {
    std::vector<std::string> lines{"format\t" + std::string(file.format),
                                   "scans\t" + std::to_string(file.scans.size())};
    const bool several = file.scans.size() > 1;
    for (std::size_t s = 0; s < file.scans.size(); ++s) {
        if (choice.scan && *choice.scan != s + 1) {
            continue;
        }
        PatternFile one;
        one.format = file.format;
        one.scans.push_back(std::move(file.scans[s]));
        PatternChoice this_scan = choice;
        this_scan.scan.reset();
        const auto scan = choose_scan(std::move(one), this_scan, path);
        if (!scan) {
            return Failure{scan.error()};
        }
        if (several) {
            lines.push_back("scan\t" + std::to_string(s + 1));
            lines.push_back("label\t" + scan->scan);
        }
        scan_lines(*scan, lines);
    }
    return lines;
}

int run_pattern(const PatternCommandArgs& args) {
    const auto choice = pattern_choice(args.pattern);
    if (!choice) {
        return fail(choice.error());
    }
    if (!is_standard_stream(args.output)) {
        if (const auto same = result_replaces_input(args.output, args.file, "pattern")) {
            std::cerr << *same << "\n";
            return kExitFailure;
        }
    }
    auto file = read_pattern_scans(args.file);
    if (!file) {
        std::cerr << file.error() << "\n";
        return kExitFailure;
    }
    if (choice->scan && *choice->scan > file->scans.size()) {
        // choose_scan words the refusal, with the list of the scans there are.
        std::cerr << choose_scan(std::move(file.value()), *choice, args.file).error() << "\n";
        return kExitFailure;
    }
    std::optional<std::string> failure;
    if (args.info) {
        const auto lines = info_lines(file.value(), *choice, args.file);
        if (!lines) {
            std::cerr << lines.error() << "\n";
            return kExitFailure;
        }
        failure = write_output_whole(args.output, "\n", [&](LineWriter& out) {
            for (const auto& line : *lines) {
                out.line(line);
            }
        });
    } else {
        const auto scan = choose_scan(std::move(file.value()), *choice, args.file);
        if (!scan) {
            std::cerr << scan.error() << "\n";
            return kExitFailure;
        }
        failure = write_output_whole(args.output, "\n", [&](LineWriter& out) {
            for (std::size_t i = 0; i < scan->two_theta.size() && !out.failed(); ++i) {
                out.line(exact(scan->two_theta[i]) + "\t" + exact(scan->counts[i]));
            }
        });
    }
    if (failure) {
        std::cerr << *failure << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

void add_pattern_command(CLI::App& app, int& status) {
    auto args = std::make_shared<PatternCommandArgs>();
    auto* command = app.add_subcommand(
        "pattern", "Write a pattern file of any format Teravine reads as two columns, 2-theta "
                   "and counts, or with --info what the file states of its scans");
    command->add_option("FILE", args->file, "the pattern file")->required();
    add_pattern_options(*command, args->pattern);
    command->add_flag("--info", args->info,
                      "print key<TAB>value lines: format, scans, points, start, end, step, "
                      "wavelength, alpha2_ratio, anode, counting_time, units, "
                      "alpha2_ratio_source, count_basis");
    command
        ->add_option("-o,--output", args->output,
                     "the file to write; - (the default) for standard output")
        ->capture_default_str();
    command->callback([args, &status] { status = run_pattern(*args); });
}

} // namespace teravine::cli
