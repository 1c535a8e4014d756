// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli report SESSION -o REPORT.pdf: a session saved by the window made into a
// report to hand on, as File > "Save Report…" writes the window's.
#include "app/session_report.h"
#include "batch/result_target.h"
#include "cli/commands.h"
#include "cli/renderer_library.h"
#include "diagram/image_format.h"
#include "formats/pattern.h"
#include "teravine_version.h"

#include <ctime>
#include <iostream>
#include <memory>

namespace teravine::cli {
namespace {

struct ReportArgs {
    std::string session;
    std::string output;
};

int fail(const std::string& why) {
    std::cerr << "teravine-cli: " << why << "\n";
    return kExitFailure;
}

// The report must replace neither the session nor a pattern it reads.
std::optional<std::string> replaces_an_input(const ReportArgs& args, const WindowSession& s) {
    if (auto same = result_replaces_input(args.output, args.session, "session")) {
        return same;
    }
    for (const SessionSample& sample : s.samples) {
        if (const auto& m = sample.origin.measurement) {
            for (const MeasuredFile* file : {&m->ad, &m->eg}) {
                if (auto same = result_replaces_input(args.output, file->path, "pattern")) {
                    return same;
                }
            }
        }
    }
    return std::nullopt;
}

int run_report(const ReportArgs& args) {
    if (image_format_for(args.output) != ImageFormat::Pdf) {
        return fail(args.output + ": a report is a PDF file; name it with .pdf");
    }
    const auto session = read_session_file(args.session);
    if (!session) {
        return fail(session.error());
    }
    if (const auto same = replaces_an_input(args, *session)) {
        return fail(*same);
    }
    const auto renderer = figure_renderer();
    if (!renderer) {
        return fail(renderer.error());
    }
    const ReportDocument report =
        session_report(*session, {kVersion, report_date(std::time(nullptr)),
                                  "Session " + pattern_name(args.session)});
    // Patterns that could not be read are named in the report, and here.
    for (const std::string& note : report.peak_notes) {
        std::cerr << "teravine-cli: " << note << "\n";
    }
    if (const auto failure = (*renderer)->report_pdf(args.output, report)) {
        return fail(*failure);
    }
    return kExitOk;
}

} // namespace

void add_report_command(CLI::App& app, int& status) {
    auto args = std::make_shared<ReportArgs>();
    auto* command = app.add_subcommand(
        "report", "Write a session saved by the window as a PDF report: the diagram, the sample "
                  "table, the calibration and the measured peaks");
    command->add_option("session", args->session, "the session (File > Save Session…) to report on")
        ->required();
    command->add_option("-o,--output", args->output, "the report to write: a .pdf file")
        ->required();
    command->callback([args, &status] { status = run_report(*args); });
}

} // namespace teravine::cli
