// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and correcting a width file, the treatment loop and the result file it writes.
#include "batch/treatment.h"
#include "model/correction_file.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace teravine {
namespace {

using Pairs = std::vector<std::pair<float, float>>;

struct Run {
    Outcome<TreatSummary> outcome = Failure{"not run"};
    std::string written;
    Pairs placed;
};

// Reads the width text, corrects it under "Mixture" and treats it into a fresh file.
Run treat_text(std::string_view text) {
    ScratchFolder folder;
    auto widths = read_width_text(text);
    EXPECT_TRUE(widths) << widths.error();
    Run run;
    if (widths) {
        correct_widths(widths.value(), kRuleMixture, {});
        Calibration cal = make_calibration(1);
        const auto out = folder.write("result.IWO", std::string(5000, 'x')); // overwritten
        run.outcome = treat_widths(*widths, cal, rule_name(kRuleMixture), out,
                                   [&](float ad, float eg) { run.placed.emplace_back(ad, eg); });
        run.written = ScratchFolder::read(out);
    }
    return run;
}

TEST(WidthFile, ReadAndCorrectedUnderEachRule) {
    const auto read = read_width_text("Samples of May\r\n2\r\n0\r\n0.22,0.21\r\n.5 0.4\r\n");
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read->title, "Samples of May");
    EXPECT_EQ(read->ad, (std::vector<float>{0.22f, 0.5f}));
    EXPECT_EQ(read->eg, (std::vector<float>{0.21f, 0.4f}));
    // b = 0 keeps the widths, except under the table.
    const auto table = read_correction_text("T\n0.05\n0.1\n0.2\n0.24\n0.3\n").table;
    for (std::int16_t rule : {kRuleGauss, kRuleLorentz, kRuleMixture, kRuleTable}) {
        WidthFile copy = *read;
        correct_widths(copy, rule, table);
        EXPECT_EQ(copy.ad, (rule == kRuleTable ? std::vector<float>{0.125f, -1} : read->ad));
        EXPECT_EQ(copy.eg[0], rule == kRuleTable ? file_remove(0.21f, table) : 0.21f);
    }
}

TEST(Treatment, AResultFileThatCannotBeCreatedOrWritten) {
    ScratchFolder folder;
    const auto file = read_width_text("T\n1\n0\n0.5,0.4\n").value();
    Calibration cal = make_calibration(1);
    const std::pair<std::string, std::string> cases[] = {
        {folder.file("no such folder/out.IWO"), "cannot be created: No such file or directory."},
        {folder.path().string(), "cannot be created"},
        {"/dev/full", "cannot be written: No space left on device."}};
    for (const auto& [path, error] : cases) {
        int placed = 0; // a full disk may show only at the last flush
        const auto outcome =
            treat_widths(file, cal, "Gauss", path, [&](float, float) { ++placed; });
        ASSERT_FALSE(outcome) << path;
        EXPECT_EQ(outcome.error().rfind("The file \"" + path + "\" " + error, 0), 0u)
            << outcome.error();
        EXPECT_LE(placed, 1);
    }
}

TEST(Treatment, The32767SamplesOfAFullFile) {
    std::string text = "Full\r\n32767\r\n0.1\r\n";
    for (int i = 0; i < 32767; ++i) {
        text += i % 7 == 0 ? "0.5,0.6\r\n" : "0." + std::to_string(400 + i % 500) + ",0.4\r\n";
    }
    const auto run = treat_text(text);
    ASSERT_TRUE(run.outcome) << run.outcome.error();
    EXPECT_EQ(run.outcome->samples, 32767);
    EXPECT_EQ(run.outcome->placed + run.outcome->errors, 32767);
    EXPECT_EQ(static_cast<int>(run.placed.size()), run.outcome->placed);
    EXPECT_EQ(std::count(run.written.begin(), run.written.end(), '\n'), 5 + 32767);
    EXPECT_NE(run.written.find("\r\nInstrumental broadening:\t .1\r\n"), std::string::npos);
}

} // namespace
} // namespace teravine
