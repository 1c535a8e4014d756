// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli thickness SAMPLE [--standard STANDARD]: the thickness distribution of the
// stacks of illite from the profile of its 001 reflection (Bertaut-Warren-Averbach, with
// Stokes' correction by the standard), as key<TAB>value lines and the distribution.
#include "cli/commands.h"
#include "cli/measure_rows.h"
#include "cli/pattern_options.h"
#include "cli/renderer_library.h"
#include "peaks/count_scale.h"
#include "peaks/peak_edges.h"
#include "thickness/analysis_inputs.h"
#include "thickness/thickness_analysis.h"
#include "thickness/thickness_notes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iostream>
#include <memory>

namespace teravine::cli {
namespace {

struct ThicknessArgs {
    std::string sample;
    std::string standard;
    std::string range = range_text(PeakRange{});
    std::string figure;
    PatternArgs pattern;
    double alpha2_ratio = 0;
    bool alpha2_given = false; // else the file's ratio, or the assumed one
};

// A mean that moves less than this share with the range is steady.
constexpr double kSteadyShare = 0.02;

int fail(const std::string& description) {
    std::cerr << "teravine-cli thickness: " << description << "\n";
    return kExitFailure;
}

std::string fixed(double value, int decimals) {
    char text[400];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    return std::string(text, end);
}

// The shares in millionths, rounded so that they still sum to a million: each rounded
// down, then the largest remainders rounded up.
std::vector<long long> millionths(const std::vector<double>& shares) {
    constexpr double kWhole = 1e6;
    std::vector<long long> parts(shares.size());
    std::vector<std::pair<double, std::size_t>> remainders;
    long long given = 0;
    for (std::size_t i = 0; i < shares.size(); ++i) {
        const double exact = shares[i] * kWhole;
        parts[i] = static_cast<long long>(std::floor(exact));
        given += parts[i];
        remainders.emplace_back(exact - static_cast<double>(parts[i]), i);
    }
    std::sort(remainders.begin(), remainders.end(), [](const auto& a, const auto& b) {
        return a.first > b.first || (a.first == b.first && a.second < b.second);
    });
    for (std::size_t r = 0; given < static_cast<long long>(kWhole) && r < remainders.size(); ++r) {
        ++parts[remainders[r].second];
        ++given;
    }
    return parts;
}

Outcome<Pattern> read_for_range(const std::string& path, PatternChoice choice,
                                const PeakRange& range) {
    choice.covering = CopperSpan{range.lo, range.hi};
    std::string note;
    auto pattern = read_pattern_file(path, choice, &note);
    if (pattern && !note.empty()) {
        std::cerr << note << "\n";
    }
    return pattern;
}

// Where the mean moves with the range by more than twice u and 2 %, standard error says
// how far: u holds the counting noise alone.
void say_range_spread(const ThicknessResult& r, const std::vector<RangeMean>& nearby) {
    double widest = 0;
    std::string means, ranges;
    for (const RangeMean& m : nearby) {
        widest = std::max(widest, std::abs(m.mean_layers - r.mean_layers));
        ranges += (ranges.empty() ? "" : " and ") + range_text(m.range);
        means += (means.empty() ? "" : " and ") + std::string(m.unresolved ? "at least " : "") +
                 fixed(m.mean_layers, 2);
    }
    if (widest > 2 * r.u_mean_layers && widest > kSteadyShare * r.mean_layers) {
        std::cerr << (nearby.size() == 1 ? "Over the range " : "Over the ranges ") << ranges
                  << " the mean is " << means
                  << " layers: u_mean_layers holds the counting noise alone, not what the "
                     "choice of range moves.\n";
    }
}

int run_thickness(const ThicknessArgs& args) {
    const auto range = parse_range(args.range);
    if (!range) {
        return fail(range_refusal(range_text(PeakRange{})));
    }
    auto choice = pattern_choice(args.pattern);
    if (!choice) {
        return fail(choice.error());
    }
    if (args.alpha2_given) {
        if (!(args.alpha2_ratio >= 0 && args.alpha2_ratio <= 1)) {
            return fail("--alpha2-ratio wants the K-alpha2 to K-alpha1 intensity ratio, 0 to 1");
        }
        choice.value().alpha2_ratio = args.alpha2_ratio;
    }
    const auto sample = read_for_range(args.sample, *choice, *range);
    if (!sample) {
        std::cerr << sample.error() << "\n";
        return kExitFailure;
    }
    std::optional<Pattern> standard;
    if (!args.standard.empty()) {
        PatternChoice standard_choice = *choice;
        standard_choice.scan.reset();
        auto read = read_for_range(args.standard, standard_choice, *range);
        if (!read) {
            std::cerr << read.error() << "\n";
            return kExitFailure;
        }
        standard = std::move(read.value());
    }
    const auto result = analyse_thickness(*sample, standard ? &*standard : nullptr, *range);
    if (!result) {
        std::cerr << result.error() << "\n";
        return kExitFailure;
    }
    const ThicknessResult& r = *result;
    // An unresolved mean is a lower bound, of no u: the value is left empty.
    std::cout << "mean_layers\t" << fixed(r.mean_layers, 3) << "\n"
              << "u_mean_layers\t"
              << (std::isfinite(r.u_mean_layers) ? fixed(r.u_mean_layers, 3) : std::string())
              << "\n"
              << "mean_nm\t" << fixed(r.mean_nm(), 3) << "\n"
              << "alpha\t" << fixed(r.lognormal.alpha, 4) << "\n"
              << "beta2\t" << fixed(r.lognormal.beta2, 4) << "\n"
              << "layers\tfraction\n";
    const std::vector<long long> parts = millionths(r.distribution.fraction);
    for (std::size_t n = 0; n < parts.size(); ++n) {
        std::cout << n + 1 << "\t" << fixed(static_cast<double>(parts[n]) / 1e6, 6) << "\n";
    }
    std::cout.flush();
    if (const std::string note = count_scale_note(count_scale(*sample), *sample); !note.empty()) {
        std::cerr << "The sample's " << note << ".\n";
    }
    if (!standard) {
        std::cerr << "Without --standard the instrument's own broadening is not removed: the "
                     "stacks come out thinner than they are.\n";
    }
    if (const auto note = thin_stacks_note(r, *range)) {
        std::cerr << *note << "\n";
    }
    // The flank as measure finds it, said where a wider range within the period the
    // analysis reads would hold the peak: the analysis restores the tails a range cuts, so
    // a flank with no such range to offer is no advice for it.
    if (auto width = measure_peak(*sample, *range, Uncertainty::skipped)) {
        if (width->holding && within_one_period(*width->holding)) {
            std::cerr << "The sample " << args.sample << ": " << edge_advice(*width) << ".\n";
        }
    }
    for (const std::string& note : thickness_notes(r)) {
        std::cerr << note << "\n";
    }
    if (!r.unresolved) {
        say_range_spread(r, nearby_range_means(*sample, standard ? &*standard : nullptr, *range));
    }
    if (!args.figure.empty()) {
        const auto renderer = figure_renderer();
        if (!renderer) {
            std::cerr << renderer.error() << "\n";
            return kExitFailure;
        }
        ThicknessFigure figure{sample->name, standard ? standard->name : std::string(), r};
        if (const auto failure = (*renderer)->thickness_image(args.figure, figure)) {
            std::cerr << *failure << "\n";
            return kExitFailure;
        }
    }
    return kExitOk;
}

} // namespace

void add_thickness_command(CLI::App& app, int& status) {
    auto args = std::make_shared<ThicknessArgs>();
    auto* command = app.add_subcommand(
        "thickness", "The thickness distribution of illite's stacks from the profile of its "
                     "001 reflection (Bertaut-Warren-Averbach), the instrument removed by a "
                     "standard's pattern (Stokes)");
    command->add_option("SAMPLE", args->sample, "the sample's pattern file")->required();
    command->add_option("--standard", args->standard,
                        "a standard's pattern, measured on the same instrument over the same "
                        "range (a coarse mica's 001): its profile is removed from the sample's");
    command
        ->add_option("--range", args->range,
                     "2-theta range LO:HI analysed (Cu K-alpha), within 4.42:13.27")
        ->capture_default_str();
    command->add_option("--figure", args->figure,
                        "also draw the corrected coefficients and the distribution with its "
                        "lognormal into this PNG, SVG or PDF file");
    add_pattern_options(*command, args->pattern);
    command
        ->add_option("--alpha2-ratio", args->alpha2_ratio,
                     "the K-alpha2 to K-alpha1 intensity ratio stripped from both patterns, 0 "
                     "for a monochromated scan; without it the file's, else 0.5")
        ->each([args](const std::string&) { args->alpha2_given = true; });
    command->callback([args, &status] { status = run_thickness(*args); });
}

} // namespace teravine::cli
