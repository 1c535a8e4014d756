// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/rule_options.h"

#include "cli/standard_streams.h"
#include "model/correction_file.h"

#include <map>

namespace teravine::cli {
namespace {

const std::map<std::string, std::int16_t> kRules{{"gauss", kRuleGauss},
                                                 {"lorentz", kRuleLorentz},
                                                 {"mixture", kRuleMixture},
                                                 {"table", kRuleTable}};

} // namespace

void add_rule_options(CLI::App& command, RuleArgs& args) {
    command
        .add_option("--rule", args.rule,
                    "broadening rule: gauss, lorentz, mixture or table (needs --table)")
        ->check(CLI::IsMember({"gauss", "lorentz", "mixture", "table"}))
        ->capture_default_str();
    command.add_option("--table", args.table, "correction table (.cor) for --rule table");
}

std::int16_t rule_code(const RuleArgs& args) {
    return kRules.at(args.rule);
}

Outcome<RuleChoice> choose_rule(const RuleArgs& args) {
    RuleChoice choice;
    choice.rule = rule_code(args);
    if (choice.rule == kRuleTable && args.table.empty()) {
        return Failure{"--rule table needs --table FILE.cor"};
    }
    if (choice.rule != kRuleTable && !args.table.empty()) {
        return Failure{"--table FILE.cor goes with --rule table"};
    }
    if (choice.rule == kRuleTable) {
        auto loaded = read_correction_file(args.table);
        if (!loaded.ok()) {
            return Failure{loaded.error};
        }
        choice.table = loaded.table;
    }
    return choice;
}

Outcome<WidthFile> read_widths(const std::string& path) {
    const auto text = read_input_text(path);
    if (!text) {
        return Failure{text.error()};
    }
    return read_width_text(*text);
}

} // namespace teravine::cli
