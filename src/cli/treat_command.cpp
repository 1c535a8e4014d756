// teravine-cli treat FILE.IW -o FILE.IWO: the menu command "Treat File" without a window.
// Reads the width file, removes the broadening with the chosen rule, and writes the very
// result file the window writes with the same Reichweite and rule, placing every accepted
// sample on a diagram as the window does.
#include "batch/treatment.h"
#include "batch/width_file.h"
#include "cli/commands.h"
#include "identify/identify_pairs.h"
#include "identify/sample_list.h"
#include "lines/line_tables.h"
#include "model/broadening.h"
#include "model/calibration.h"
#include "model/correction_file.h"

#include <iostream>
#include <map>
#include <memory>
#include <vector>

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
    // Every accepted sample is placed on a diagram as the window places it, with its four
    // lines: identified up front on all cores, then taken in file order.
    const LineTables tables = make_line_tables(cal);
    std::vector<Identification> found = identify_pairs(cal, tables, widths->ad, widths->eg);
    SampleList samples;
    const auto place = [&](std::size_t index, float, float) {
        if (found[index].placed && samples.size() < static_cast<std::size_t>(kMaxSamples)) {
            samples.push_back(std::move(*found[index].placed));
        }
    };
    const auto treated = treat_widths_at(*widths, cal, rule_name(rule), args.output, place);
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
