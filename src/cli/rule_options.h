// SPDX-License-Identifier: GPL-3.0-or-later
// The broadening options shared by `treat` and `plot --samples`: --rule and --table,
// and a width file read and corrected as the window's "Treat File" reads it.
#pragma once

#include "batch/width_file.h"
#include "model/broadening.h"
#include "text/outcome.h"

#include <CLI/CLI.hpp>

#include <string>

namespace teravine::cli {

struct RuleArgs {
    std::string rule = "mixture";
    std::string table;
};

void add_rule_options(CLI::App& command, RuleArgs& args);

struct RuleChoice {
    std::int16_t rule = kRuleMixture;
    CorrectionTable table;
};

// The rule code, with the correction table read as the "File table" option reads it.
Outcome<RuleChoice> choose_rule(const RuleArgs& args);

// The rule's code alone, nothing read (the options allow only the rules' names).
std::int16_t rule_code(const RuleArgs& args);

// The width file ("-": standard input) as it stands.
Outcome<WidthFile> read_widths(const std::string& path);

} // namespace teravine::cli
