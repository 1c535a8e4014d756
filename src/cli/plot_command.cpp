// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli plot -o FILE: the diagram as the window draws it, into a PNG, SVG or PDF
// file, with the chosen Reichweite, grid families, samples and identical lines.
#include "app/session_scene.h"
#include "batch/sample_list_file.h"
#include "cli/commands.h"
#include "cli/figure_size.h"
#include "cli/grid_list.h"
#include "cli/renderer_library.h"
#include "cli/rule_options.h"
#include "cli/sample_input.h"
#include "cli/sigma_options.h"
#include "diagram/draw_diagram.h"
#include "diagram/figure_caption.h"
#include "identify/identify_pairs.h"
#include "identify/sample_list.h"
#include "lines/line_tables.h"
#include "model/calibration.h"

#include <iostream>
#include <memory>

namespace teravine::cli {
namespace {

struct PlotArgs {
    std::string output;
    std::string reichweite = "R0";
    std::string grids = "k";
    std::string identical;
    std::string samples;
    std::string session;
    RuleArgs rule;
    std::string labels = "label";
    SigmaArgs sigmas;
    int size = kDefaultImagePixels;
    bool size_given = false;
    std::string width;
    std::string height;
    std::optional<double> dpi;
    bool caption = false;
};

// The file's samples, corrected and identified as "Treat File" places them (on every
// core, then taken in file order); those outside the model are left out.
Outcome<bool> place_samples(const PlotArgs& args, DiagramScene& scene, float& broadening) {
    const auto rule = choose_rule(args.rule);
    if (!rule) {
        return Failure{rule.error()};
    }
    const auto input = read_samples_input(args.samples);
    if (!input) {
        return Failure{input.error()};
    }
    const WidthFile& measured = input->measured;
    WidthFile widths = measured;
    broadening = measured.broadening;
    correct_widths(widths, rule->rule, rule->table);
    const LineTables tables = make_line_tables(scene.cal);
    std::vector<Identification> found = identify_pairs(scene.cal, tables, widths.ad, widths.eg);
    const auto sigmas = chosen_sigmas(args.sigmas);
    // With --sigma or a listed u, each sample's region drawn around it, from its widths as
    // measured, all of them on every core.
    std::vector<MeasuredPair> pairs;
    const std::size_t first = scene.samples.size();
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (!found[i].placed) {
            continue;
        }
        PlacedSample& placed = scene.samples.emplace_back(std::move(*found[i].placed));
        SampleOrigin& origin = placed.origin;
        origin.ad = measured.ad[i];
        origin.eg = measured.eg[i];
        origin.broadening = measured.broadening_of(i);
        origin.rule = rule->rule;
        origin.measured = true;
        origin.name = measured.name_of(i);
        pairs.push_back({measured.ad[i],
                         measured.eg[i],
                         {measured.broadening_of(i), rule->rule, &rule->table}});
        if (i < input->u_ad.size()) {
            placed.origin.u_ad = input->u_ad[i];
            placed.origin.u_eg = input->u_eg[i];
            pairs.back().sigmas = sample_sigmas(input->u_ad[i], input->u_eg[i], sigmas);
        }
    }
    auto regions = width_uncertainties(scene.cal, pairs, sigmas);
    scene.ellipses = scene.ellipses || sigmas.has_value();
    for (std::size_t i = 0; i < regions.size(); ++i) {
        scene.ellipses = scene.ellipses || pairs[i].sigmas.has_value();
        scene.samples[first + i].uncertainty = std::move(regions[i]);
    }
    return true;
}

Outcome<std::unique_ptr<DiagramScene>> build_scene(const PlotArgs& args) {
    if (!args.session.empty()) {
        const auto session = read_session_file(args.session);
        if (!session) {
            return Failure{session.error()};
        }
        return std::move(session_scene(*session, args.caption).diagram);
    }
    const auto checks = parse_grid_list(args.grids, true);
    if (!checks) {
        return Failure{checks.error()};
    }
    const auto identical = parse_identical_list(args.identical);
    if (!identical) {
        return Failure{identical.error()};
    }
    auto scene = std::make_unique<DiagramScene>();
    scene->set_up(reich_from_name(args.reichweite), *checks);
    scene->identical_on = *identical;
    // "samples" is the older word for each sample's own label.
    scene->labels = args.labels == "name"     ? SampleLabels::name
                    : args.labels == "number" ? SampleLabels::number
                    : args.labels == "none"   ? SampleLabels::none
                                              : SampleLabels::label;
    float broadening = 0;
    if (!args.samples.empty()) {
        const auto placed = place_samples(args, *scene, broadening);
        if (!placed) {
            return Failure{placed.error()};
        }
    }
    if (scene->ellipses) {
        const auto sigmas = chosen_sigmas(args.sigmas).value_or(WidthSigmas{});
        scene->legend = ellipse_legend(scene->samples, sigmas.k_sigma, sigmas.ad, sigmas.eg);
    }
    if (args.caption) {
        scene->caption =
            figure_caption(scene->cal.name(), scene->samples, {rule_code(args.rule), broadening},
                           scene->ellipses ? args.sigmas.sigma : 0.0f);
    }
    return scene;
}

int run_plot(const PlotArgs& args) {
    if (!image_format_for(args.output)) {
        std::cerr << "teravine-cli: " << args.output
                  << ": unknown image type (use .png, .svg or .pdf)\n";
        return kExitFailure;
    }
    if (args.size_given && (!args.width.empty() || !args.height.empty() || args.dpi)) {
        std::cerr << "teravine-cli: --size draws a square picture; a figure takes "
                     "--width, --height and --dpi instead\n";
        return kExitFailure;
    }
    if (args.size < kMinImagePixels || args.size > kMaxImagePixels) {
        std::cerr << "teravine-cli: --size " << args.size << " is outside " << kMinImagePixels
                  << ".." << kMaxImagePixels << "\n";
        return kExitFailure;
    }
    const auto renderer = figure_renderer();
    if (!renderer) {
        std::cerr << "teravine-cli: " << renderer.error() << "\n";
        return kExitFailure;
    }
    const auto scene = build_scene(args);
    if (!scene) {
        std::cerr << "teravine-cli: " << scene.error() << "\n";
        return kExitFailure;
    }
    const bool figure = !args.width.empty() || !args.height.empty() || args.dpi;
    Outcome<WrittenImage> written = Failure{""};
    if (figure) {
        const auto size = figure_size(args.width, args.height, args.dpi);
        if (!size) {
            std::cerr << "teravine-cli: " << size.error() << "\n";
            return kExitFailure;
        }
        written =
            (*renderer)->diagram_figure((*scene)->content(), (*scene)->world, args.output, *size);
    } else {
        written = (*renderer)->diagram_image((*scene)->content(), (*scene)->world, args.output,
                                             args.size);
    }
    if (!written) {
        std::cerr << "teravine-cli: " << written.error() << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

void add_plot_command(CLI::App& app, int& status) {
    auto args = std::make_shared<PlotArgs>();
    auto* command = app.add_subcommand(
        "plot", "Draw the diagram into a PNG, SVG or PDF file, as the window shows it");
    command->add_option("-o,--output", args->output, "the image to write: .png, .svg or .pdf")
        ->required();
    add_reichweite_option(*command, args->reichweite);
    command
        ->add_option("--grids", args->grids, "comma-separated grid families to draw: k, N, S, Nfp")
        ->capture_default_str();
    command->add_option("--identical", args->identical,
                        "comma-separated lines drawn through every sample: k, N, S, Nfp");
    command->add_option(
        "--samples", args->samples,
        "sample width file (.IW) or named sample list (.csv) whose samples are placed "
        "with their labels; - for standard input");
    add_rule_options(*command, args->rule);
    command->add_flag("--caption", args->caption,
                      "a line under the diagram: Reichweite, rule, broadening (and sigma "
                      "with --sigma)");
    command
        ->add_option("--labels", args->labels,
                     "what is written beside each sample: label (N, %S, k, Nfp; also "
                     "\"samples\"), name (from a sample list), number or none")
        ->check(CLI::IsMember({"label", "name", "number", "none", "samples"}))
        ->capture_default_str();
    add_sigma_options(*command, args->sigmas);
    command->get_option("--sigma")->needs(command->get_option("--samples"));
    command
        ->add_option("--session", args->session,
                     "a session saved by the window (File > Save Session…): its Reichweite, "
                     "lines, labels and samples drawn as the window drew them")
        ->excludes("--samples")
        ->excludes("--reichweite")
        ->excludes("--grids")
        ->excludes("--identical")
        ->excludes("--labels");
    auto* size =
        command
            ->add_option("--size", args->size, "width and height of the square picture in pixels")
            ->capture_default_str();
    command->add_option("--width", args->width,
                        "a figure's width with its unit: 160mm, 6in or 1200px; the figure is "
                        "cropped to the diagram and its text and lines keep their size");
    command->add_option("--height", args->height,
                        "a figure's height with its unit (the width when left out)");
    command->add_option("--dpi", args->dpi,
                        "a figure's resolution; 300 for lengths in mm or in, 96 for pixels");
    command->callback([args, size, &status] {
        args->size_given = size->count() > 0;
        status = run_plot(*args);
    });
}

} // namespace teravine::cli
