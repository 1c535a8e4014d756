// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli simulate -o FILE.xy: the 00l pattern of an oriented mount of illite or
// illite-smectite of a lognormal distribution of stack thicknesses, as two columns of 2θ
// and counts: to see what a point of the diagram looks like as a pattern, and to give
// `thickness` patterns whose answer is known.
#include "cli/commands.h"
#include "cli/measure_rows.h"
#include "cli/standard_streams.h"
#include "thickness/simulated_pattern.h"

#include <charconv>
#include <iostream>
#include <memory>

namespace teravine::cli {
namespace {

struct SimulateArgs {
    std::string output = "-";
    std::string range = "2:30";
    double step = 0.02;
    double mean_layers = 10;
    double alpha = 0;
    double beta2 = 0.3;
    double smectite = 0;
    std::string reichweite = "R0";
    std::string preparation = "ad";
    std::string anode = "Cu";
    double alpha2_ratio = kAssumedAlpha2Ratio;
    double broadening = 0;
    double lorentzian_share = 0.5;
    double counts = 0; // 0: not given
    std::uint64_t seed = 1;
    std::string background = "0";
};

int fail(const std::string& description) {
    std::cerr << "teravine-cli simulate: " << description << "\n";
    return kExitFailure;
}

// Six decimals at most, trailing zeros left off.
std::string figure(double value) {
    char text[400];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6).ptr;
    std::string shown(text, end);
    shown.erase(shown.find_last_not_of('0') + 1);
    if (shown.back() == '.') {
        shown.pop_back();
    }
    return shown == "-0" ? "0" : shown;
}

// "300" or "500:200": the background's counts at the range's two ends.
std::optional<std::pair<double, double>> parse_background(const std::string& text) {
    const auto colon = text.find(':');
    const auto number = [](const std::string& part) -> std::optional<double> {
        double value = 0;
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (ec != std::errc() || end != part.data() + part.size()) {
            return std::nullopt;
        }
        return value;
    };
    const auto lo = number(text.substr(0, colon));
    const auto hi = colon == std::string::npos ? lo : number(text.substr(colon + 1));
    if (!lo || !hi) {
        return std::nullopt;
    }
    return std::pair{*lo, *hi};
}

Reichweite reichweite_of(const std::string& name) {
    return name == "R1" ? Reichweite::R1 : name == "R3" ? Reichweite::R3 : Reichweite::R0;
}

// The first line of the file: what was simulated.
std::string description(const SimulationRequest& r, const SimulateArgs& args) {
    std::string text = "# teravine-cli simulate: illite";
    if (r.smectite > 0) {
        text += "-smectite, " + figure(args.smectite) + " %S " + args.reichweite + " " +
                (args.preparation == "eg" ? "glycolated" : "air-dried");
    }
    text += "; lognormal alpha " + figure(r.thickness.alpha) + " beta2 " +
            figure(r.thickness.beta2) + ", mean " +
            figure(lognormal_distribution(r.thickness).mean()) + " layers; " +
            std::string(r.anode.symbol) + " K-alpha, alpha2 ratio " + figure(r.alpha2_ratio) +
            "; instrument FWHM " + figure(r.broadening) + " deg (Lorentzian share " +
            figure(r.lorentzian_share) + ")";
    if (r.seed) {
        text += "; Poisson counts, seed " + std::to_string(*r.seed);
    }
    return text;
}

int run_simulate(const SimulateArgs& args, const CLI::App& command) {
    SimulationRequest r;
    const auto range = parse_range(args.range);
    if (!range) {
        return fail(range_refusal("2:30"));
    }
    r.lo = range->lo;
    r.hi = range->hi;
    r.step = args.step;
    if (!(args.beta2 >= 0 && args.beta2 <= 4)) {
        return fail("--beta2 wants the variance of ln N, between 0 and 4, such as 0.3");
    }
    if (command.get_option("--alpha")->count() > 0) {
        r.thickness = {args.alpha, args.beta2};
        if (!(args.alpha >= 0 && args.alpha <= std::log(static_cast<double>(kMostLayers)))) {
            return fail("--alpha wants the mean of ln N, between 0 and 11.5");
        }
    } else {
        if (!(args.mean_layers >= 1 && args.mean_layers <= 10000)) {
            return fail("--mean-layers wants a mean number of layers a stack, between 1 and "
                        "10000");
        }
        r.thickness = lognormal_of_mean(args.mean_layers, args.beta2);
    }
    if (!(args.smectite >= 0 && args.smectite <= 100)) {
        return fail("--smectite wants the percentage of smectite layers, 0 to 100");
    }
    r.smectite = args.smectite / 100;
    r.reichweite = reichweite_of(args.reichweite);
    r.smectite_kind =
        args.preparation == "eg" ? LayerKind::smectite_glycolated : LayerKind::smectite_air_dried;
    const auto anode = anode_lines(args.anode);
    if (!anode) {
        return fail("--anode wants Cu, Co, Fe, Cr, Mo or Ag, not \"" + args.anode + "\"");
    }
    r.anode = *anode;
    r.alpha2_ratio = args.alpha2_ratio;
    r.broadening = args.broadening;
    r.lorentzian_share = args.lorentzian_share;
    if (command.get_option("--counts")->count() > 0) {
        r.top = args.counts;
        r.seed = args.seed;
    }
    const auto background = parse_background(args.background);
    if (!background) {
        return fail("--background wants the counts of the background, or LO:HI its counts at "
                    "the range's two ends, such as 300 or 500:200");
    }
    r.background_lo = background->first;
    r.background_hi = background->second;
    const auto pattern = simulate_pattern(r);
    if (!pattern) {
        return fail(pattern.error());
    }
    const auto failure = write_output_whole(args.output, "\n", [&](LineWriter& out) {
        out.line(description(r, args));
        for (std::size_t i = 0; i < pattern->two_theta.size() && !out.failed(); ++i) {
            out.line(figure(pattern->two_theta[i]) + "\t" + figure(pattern->counts[i]));
        }
    });
    if (failure) {
        std::cerr << *failure << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

void add_simulate_command(CLI::App& app, int& status) {
    auto args = std::make_shared<SimulateArgs>();
    auto* command = app.add_subcommand(
        "simulate", "Write the 00l pattern of an oriented mount of illite or illite-smectite "
                    "(two columns, 2-theta and counts) for a lognormal distribution of stack "
                    "thicknesses");
    command->add_option("-o,--output", args->output, "the .xy file to write; - for standard output")
        ->capture_default_str();
    command->add_option("--range", args->range, "2-theta range LO:HI, degrees")
        ->capture_default_str();
    command
        ->add_option("--step", args->step,
                     "2-theta step, degrees; each point is the mean "
                     "over its step")
        ->capture_default_str();
    auto* mean = command
                     ->add_option("--mean-layers", args->mean_layers,
                                  "mean number of layers a stack, each stack counted once")
                     ->capture_default_str();
    auto* alpha = command->add_option("--alpha", args->alpha,
                                      "mean of ln N of the lognormal, in place of --mean-layers");
    alpha->excludes(mean);
    command
        ->add_option("--beta2", args->beta2,
                     "variance of ln N of the lognormal; 0: every stack of one thickness")
        ->capture_default_str();
    command->add_option("--smectite", args->smectite, "percentage of smectite layers (%S)")
        ->capture_default_str();
    add_reichweite_option(*command, args->reichweite)
        ->description("order of the layers: R0 at random, R1 and R3 each smectite layer "
                      "followed by at least one or three illite layers")
        ->capture_default_str();
    command
        ->add_option("--preparation", args->preparation,
                     "ad: smectite air-dried (12.5 A), eg: glycolated (16.9 A)")
        ->check(CLI::IsMember({"ad", "eg"}))
        ->capture_default_str();
    command->add_option("--anode", args->anode, "the anode of the tube (Cu, Co, Fe, Cr, Mo, Ag)")
        ->capture_default_str();
    command
        ->add_option("--alpha2-ratio", args->alpha2_ratio,
                     "intensity of K-alpha2 over K-alpha1; 0: K-alpha1 alone")
        ->capture_default_str();
    command
        ->add_option("--broadening", args->broadening,
                     "FWHM of the instrument's own profile, degrees 2-theta (a pseudo-Voigt); "
                     "0: none")
        ->capture_default_str();
    command
        ->add_option("--lorentzian-share", args->lorentzian_share,
                     "Lorentzian share of the instrument's pseudo-Voigt, 0 to 1")
        ->capture_default_str();
    auto* counts = command->add_option(
        "--counts", args->counts,
        "Poisson counts, the top of the diffracted intensity at this many counts; without "
        "it, the expected intensities, their top at 10000");
    command->add_option("--seed", args->seed, "the seed of the Poisson counts")
        ->needs(counts)
        ->capture_default_str();
    command
        ->add_option("--background", args->background,
                     "background counts, or LO:HI at the range's two ends, added before the "
                     "counts are drawn")
        ->capture_default_str();
    command->callback([args, command, &status] { status = run_simulate(*args, *command); });
}

} // namespace teravine::cli
