// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/method_options.h"

namespace teravine::cli {
namespace {

// "half-height or fit", each kind with what it is when `described`.
std::string kinds_text(bool described) {
    std::string text;
    const auto kinds = width_method_kinds();
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        text += i == 0 ? "" : i + 1 == kinds.size() ? " or " : ", ";
        text += kinds[i].name;
        if (described) {
            text += " (" + std::string(kinds[i].description) + ")";
        }
    }
    return text;
}

} // namespace

void add_method_options(CLI::App& command, MethodArgs& args) {
    command.add_option("--method", args.method, kinds_text(true))->capture_default_str();
    command.add_option("--profile", args.profile,
                       "with --method fit: pseudo-voigt (the default), pearson7, "
                       "split-pseudo-voigt or split-pearson7");
    command.add_option("--background", args.background,
                       "with --method fit: linear (the default) or quadratic");
    command.add_option("--components", args.components,
                       "with --method fit: 1 (the default) to 3 overlapped profiles");
    command.add_option("--use", args.use,
                       "with --method fit: the component, numbered by position, whose width "
                       "is reported (default: the tallest)");
    command
        .add_option("--alpha2-ratio", args.alpha2_ratio,
                    "with --method fit: the K-alpha2 to K-alpha1 intensity ratio fitted, 0 for "
                    "none (default: the file's own, else 0.5)")
        ->check(CLI::Range(0.0, 1.0));
}

Outcome<WidthMethod> method_choice(const MethodArgs& args) {
    const WidthMethodKind* kind = width_method_kind(args.method);
    if (kind == nullptr) {
        return Failure{"--method is " + kinds_text(false) + ", not \"" + args.method + "\""};
    }
    if (!kind->fits) {
        if (!args.profile.empty() || !args.background.empty() || args.components != -1 ||
            args.use != -1 || args.alpha2_ratio != -1) {
            return Failure{"--profile, --background, --components, --use and --alpha2-ratio go "
                           "with --method fit"};
        }
        return WidthMethod(*kind);
    }
    FitOptions options;
    if (!args.profile.empty()) {
        const auto shape = profile_shape_named(args.profile);
        if (!shape) {
            return Failure{"--profile is pseudo-voigt, pearson7, split-pseudo-voigt or "
                           "split-pearson7, not \"" +
                           args.profile + "\""};
        }
        options.shape = *shape;
    }
    if (args.background == "quadratic") {
        options.background = FitBackground::quadratic;
    } else if (!args.background.empty() && args.background != "linear") {
        return Failure{"--background is linear or quadratic, not \"" + args.background + "\""};
    }
    if (args.components != -1) {
        if (args.components < 1 || args.components > 3) {
            return Failure{"--components is 1, 2 or 3"};
        }
        options.components = args.components;
    }
    if (args.use == -1) {
        return WidthMethod(*kind, options);
    }
    if (args.use < 1 || args.use > options.components) {
        return Failure{"--use K wants K from 1 to the number of --components (" +
                       std::to_string(options.components) + ")"};
    }
    options.use = args.use;
    return WidthMethod(*kind, options);
}

Outcome<MeasuringChoice> measuring_choice(const PatternArgs& pattern, const MethodArgs& method) {
    const auto choice = pattern_choice(pattern);
    if (!choice) {
        return Failure{choice.error()};
    }
    const auto chosen = method_choice(method);
    if (!chosen) {
        return Failure{chosen.error()};
    }
    MeasuringChoice measuring{*choice, *chosen};
    if (method.alpha2_ratio >= 0) {
        measuring.pattern.alpha2_ratio = method.alpha2_ratio;
    }
    return measuring;
}

} // namespace teravine::cli
