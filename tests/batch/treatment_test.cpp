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

} // namespace
} // namespace teravine
