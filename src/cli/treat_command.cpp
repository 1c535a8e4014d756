// teravine-cli treat FILE.IW -o FILE.IWO: the menu command "Treat File" without a window.
// Reads the width file, removes the broadening with the chosen rule, and writes the very
// result file the window writes with the same Reichweite and rule.
#include "batch/treatment.h"
#include "batch/width_file.h"
#include "cli/commands.h"
#include "model/broadening.h"
#include "model/calibration.h"
#include "model/correction_file.h"

#include <iostream>
#include <map>
#include <memory>

namespace teravine::cli {
namespace {

struct TreatArgs {
    std::string input;
    std::string output;
    std::string reichweite = "R0";
    std::string rule = "mixture";
    std::string table;
};

const std::map<std::string, std::int16_t> kRules{{"gauss", kRuleGauss},
                                                 {"lorentz", kRuleLorentz},
                                                 {"mixture", kRuleMixture},
                                                 {"table", kRuleTable}};

int fail(const std::string& description) {
    std::cerr << description << "\n";
    return kExitFailure;
}

int run_treat(const TreatArgs& args) {
    const std::int16_t rule = kRules.at(args.rule);
    if (rule == kRuleTable && args.table.empty()) {
        return fail("teravine-cli treat: --rule table needs --table FILE.cor");
    }
    if (rule != kRuleTable && !args.table.empty()) {
        return fail("teravine-cli treat: --table FILE.cor goes with --rule table");
    }
    CorrectionTable table;
    if (rule == kRuleTable) {
        // As the option "File table" reads it; a file that cannot be read ends here.
        auto loaded = read_correction_file(args.table);
        if (!loaded.ok()) {
            return fail(loaded.error);
        }
        table = loaded.table;
    }

    auto widths = read_width_file(args.input);
    if (!widths) {
        return fail(widths.error());
    }
    correct_widths(widths.value(), rule, table);

    Calibration cal = make_calibration(reich_from_name(args.reichweite));
    const auto treated = treat_widths(*widths, cal, rule_name(rule), args.output, nullptr);
    if (!treated) {
        return fail(treated.error());
    }
    std::cout << "Wrote " << args.output << ": " << treated->samples << " samples, "
              << treated->placed << " identified, " << treated->errors << " Error.\n";
    return kExitOk;
}

} // namespace

void add_treat_command(CLI::App& app, int& status) {
    auto args = std::make_shared<TreatArgs>();
    auto* command = app.add_subcommand(
        "treat", "Treat a sample width file (.IW) into a result file (.IWO), as the window's "
                 "File > Treat File does");
    command->add_option("FILE", args->input, "sample width file (.IW)")->required();
    command->add_option("-o,--output", args->output, "result file (.IWO) to create or overwrite")
        ->required();
    add_reichweite_option(*command, args->reichweite);
    command
        ->add_option("--rule", args->rule,
                     "broadening rule: gauss, lorentz, mixture or table (needs --table)")
        ->check(CLI::IsMember({"gauss", "lorentz", "mixture", "table"}))
        ->capture_default_str();
    command->add_option("--table", args->table, "correction table (.cor) for --rule table");
    command->callback([args, &status] { status = run_treat(*args); });
}

} // namespace teravine::cli
