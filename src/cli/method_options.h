// SPDX-License-Identifier: GPL-3.0-or-later
// How `measure`, `instrument` and `cis fit` take their widths: --method half-height (the
// default) or fit, and for a fit --profile, --background, --components and --use.
#pragma once

#include "cli/pattern_options.h"
#include "peaks/width_method.h"
#include "text/outcome.h"

#include <CLI/CLI.hpp>

#include <string>

namespace teravine::cli {

struct MethodArgs {
    std::string method = "half-height";
    std::string profile;      // empty: not given
    std::string background;   // empty: not given
    int components = -1;      // -1: not given
    int use = -1;             // -1: not given
    double alpha2_ratio = -1; // -1: not given
};

void add_method_options(CLI::App& command, MethodArgs& args);

// The method the options name; options that do not go together are refused.
Outcome<WidthMethod> method_choice(const MethodArgs& args);

// What a command that measures patterns is told: the scan and wavelength of each file (and
// with a fit, the Kα2 ratio of --alpha2-ratio), and the method; the pattern options'
// refusal first, then the method's.
struct MeasuringChoice {
    PatternChoice pattern;
    WidthMethod method;
};
Outcome<MeasuringChoice> measuring_choice(const PatternArgs& pattern, const MethodArgs& method);

} // namespace teravine::cli
