// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli instrument STANDARD -o INSTRUMENT.json: the instrument's own broadening b
// measured on a standard's pattern, as a sample's peak is measured, or carried to the
// illite 001 angle from several peaks of a line-profile standard.
#include "batch/result_target.h"
#include "cli/commands.h"
#include "cli/measure_rows.h"
#include "cli/method_options.h"
#include "cli/standard_streams.h"
#include "standards/instrument_measure.h"

#include <iostream>
#include <memory>

namespace teravine::cli {
namespace {

struct InstrumentArgs {
    std::string standard;
    std::string range;
    std::string peaks;
    double angle = 0; // 0: not given
    std::string output;
    PatternArgs pattern;
    MethodArgs method;
};

int fail(const std::string& description) {
    std::cerr << "teravine-cli instrument: " << description << "\n";
    return kExitFailure;
}

std::optional<std::vector<PeakRange>> parse_peaks(const std::string& text) {
    std::vector<PeakRange> peaks;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto comma = std::min(text.find(',', start), text.size());
        const auto range = parse_range(text.substr(start, comma - start));
        if (!range) {
            return std::nullopt;
        }
        peaks.push_back(*range);
        start = comma + 1;
    }
    return peaks;
}

int run_instrument(const InstrumentArgs& args) {
    InstrumentRequest request;
    const auto measuring = measuring_choice(args.pattern, args.method);
    if (!measuring) {
        return fail(measuring.error());
    }
    request.method = measuring->method;
    if (!args.peaks.empty()) {
        if (!args.range.empty()) {
            return fail("--range measures one peak and --peaks several: give one of them");
        }
        const auto peaks = parse_peaks(args.peaks);
        if (!peaks) {
            return fail("--peaks wants the peaks' ranges LO:HI,LO:HI,... in degrees 2-theta, "
                        "such as 27.9:29.0,46.8:47.9,55.6:56.6");
        }
        if (peaks->size() < 3) {
            return fail("--peaks needs at least three peaks to fix the three terms of the width "
                        "against angle; for one peak use --range");
        }
        request.peaks = *peaks;
        if (args.angle != 0) {
            if (!(args.angle > 0 && args.angle < 180)) {
                return fail("--angle wants the 2-theta (Cu K-alpha) where b applies, such as 8.84");
            }
            request.angle = args.angle;
        }
    } else {
        if (args.angle != 0) {
            return fail("--angle goes with --peaks: one peak's b applies at its own angle");
        }
        if (!args.range.empty()) {
            const auto range = parse_range(args.range);
            if (!range) {
                return fail(range_refusal("8.0:9.8"));
            }
            request.range = *range;
        }
    }
    if (const auto same = result_replaces_input(args.output, args.standard, "standard's pattern")) {
        std::cerr << *same << "\n";
        return kExitFailure;
    }
    const auto measured = measure_instrument_file(args.standard, measuring->pattern, request);
    if (!measured) {
        std::cerr << measured.error() << "\n";
        return kExitFailure;
    }
    if (!measured->scan_note.empty()) {
        std::cerr << measured->scan_note << "\n";
    }
    const InstrumentProfile& p = measured->profile;
    std::ostream* said = write_result_bytes(args.output, instrument_profile_json(p));
    if (said == nullptr) {
        return kExitFailure;
    }
    *said << "b\t" << width_text(p.b) << "\nu_b\t" << width_text(p.u_b) << "\nangle\t"
          << width_text(p.angle) << "\nmethod\t" << p.method << "\n";
    for (std::size_t i = 0; i < measured->peaks.size(); ++i) {
        const PeakWidth& w = measured->peaks[i].width;
        if (p.caglioti) {
            *said << "peak\t" << width_text(w.position) << "\t" << width_text(w.fwhm) << "\t"
                  << width_text(w.u_fwhm) << "\n";
        }
        if (w.quality != "ok") {
            std::cerr << p.standard << ": the peak at " << width_text(w.position)
                      << "° is doubtful: " << w.quality << "\n";
        }
    }
    if (p.caglioti && caglioti_extrapolated(*p.caglioti, p.angle)) {
        std::cerr << "b at " << width_text(p.angle) << "\u00b0 lies outside the standard's peaks ("
                  << caglioti_span_text(*p.caglioti)
                  << "): the width against angle (Caglioti's law, of Gaussian widths) is "
                     "extrapolated there, and b is only as good as that extrapolation.\n";
    }
    if (!request.peaks.empty() && !request.method.fits()) {
        std::cerr << "The half-height widths keep the K-alpha2 line, whose distance from "
                     "K-alpha1 grows with the angle: with peaks far above the 001, --method fit "
                     "measures the instrument's own width.\n";
    }
    if (request.method.fits()) {
        std::cerr << kFitNote << "\n";
    }
    return kExitOk;
}

} // namespace

void add_instrument_command(CLI::App& app, int& status) {
    auto args = std::make_shared<InstrumentArgs>();
    auto* command = app.add_subcommand(
        "instrument",
        "Measure the instrument's own broadening b on a standard's pattern (a mica's 001, or "
        "several peaks of a line-profile standard) into an instrument profile");
    command->add_option("STANDARD", args->standard, "the standard's pattern file")->required();
    command->add_option("--range", args->range,
                        "2-theta range LO:HI of the standard's peak (Cu K-alpha; default 8.0:9.8)");
    command->add_option("--peaks", args->peaks,
                        "ranges LO:HI,LO:HI,... of three or more peaks of a line-profile "
                        "standard, their widths carried to --angle");
    command->add_option("--angle", args->angle,
                        "with --peaks: the 2-theta (Cu K-alpha) where b is given (default 8.84, "
                        "the illite 001)");
    add_pattern_options(*command, args->pattern);
    add_method_options(*command, args->method);
    command
        ->add_option("-o,--output", args->output,
                     "the instrument profile (JSON) to write; - for standard output")
        ->required();
    command->callback([args, &status] { status = run_instrument(*args); });
}

} // namespace teravine::cli
