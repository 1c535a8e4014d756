// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli lines: the constant-line file (.IWL) that "Export Constant line" writes
// with the chosen grid families checked.
#include "cli/commands.h"
#include "cli/grid_list.h"
#include "cli/standard_streams.h"
#include "lines/const_line_file.h"
#include "lines/const_lines.h"
#include "model/calibration.h"

#include <iostream>
#include <memory>

namespace teravine::cli {
namespace {

struct LinesArgs {
    std::string output;
    std::string reichweite = "R0";
    std::string grids = "N,S,Nfp";
};

int run_lines(const LinesArgs& args) {
    const auto checks = parse_grid_list(args.grids, false);
    if (!checks) {
        std::cerr << "teravine-cli: " << checks.error() << "\n";
        return kExitFailure;
    }
    Calibration cal = make_calibration(reich_from_name(args.reichweite));
    ConstLines lines;
    if (checks->n) {
        compute_const_n_lines(cal, lines);
    }
    if (checks->s) {
        compute_const_s_lines(cal, lines);
    }
    if (checks->fp) {
        compute_const_fp_lines(cal, lines);
    }
    const auto written = is_standard_stream(args.output)
                             ? export_const_lines_to_standard_output(lines, *checks, cal.name())
                             : export_const_lines(args.output, lines, *checks, cal.name());
    if (!written) {
        std::cerr << "teravine-cli: " << written.error() << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

void add_lines_command(CLI::App& app, int& status) {
    auto args = std::make_shared<LinesArgs>();
    auto* command = app.add_subcommand(
        "lines", "Write the constant-line file (.IWL) of the chosen grid families, as "
                 "\"Export Constant line\" writes it");
    command
        ->add_option("-o,--output", args->output,
                     "the .IWL file to create or replace; - for standard output")
        ->required();
    add_reichweite_option(*command, args->reichweite);
    command
        ->add_option("--grids", args->grids,
                     "comma-separated grid families to compute and export: N, S, Nfp")
        ->capture_default_str();
    command->callback([args, &status] { status = run_lines(*args); });
}

} // namespace teravine::cli
