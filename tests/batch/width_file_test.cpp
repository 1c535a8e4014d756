// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a sample width file (.IW) and correcting its widths.
#include "batch/width_file.h"
#include "model/correction_file.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace teravine {
namespace {


std::string failure_of(std::string_view text) {
    const auto read = read_width_text(text);
    return read ? std::string("(no failure)") : read.error();
}

TEST(WidthFile, AWellFormedFile) {
    const auto read = read_width_text("Samples of May\r\n3\r\n0.1\r\n0.5,0.4\r\n0.6,0.45\r\n"
                                      "0.7,0.5\r\n");
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read->title, "Samples of May");
    EXPECT_EQ(read->count, 3);
    EXPECT_EQ(read->broadening, 0.1f);
    EXPECT_EQ(read->ad, (std::vector<float>{0.5f, 0.6f, 0.7f}));
    EXPECT_EQ(read->eg, (std::vector<float>{0.4f, 0.45f, 0.5f}));
}

TEST(WidthFile, TheCountIsChecked) {
    EXPECT_EQ(failure_of("T\n-2\n0.1\n"),
              "Line 2 of the file, item 1: the sample count \"-2\" is negative; a file holds 0 "
              "to 32767 samples.");
    EXPECT_EQ(failure_of("T\n32768\n0.1\n"),
              "Line 2 of the file, item 1: the sample count \"32768\" is beyond 32767, the most "
              "samples a file can hold.");
    EXPECT_EQ(failure_of("T\n4e9\n0.1\n"),
              "Line 2 of the file, item 1: the sample count \"4e9\" is beyond 32767, the most "
              "samples a file can hold.");
    EXPECT_EQ(failure_of("T\n2.5\n0.1\n"),
              "Line 2 of the file, item 1: the sample count \"2.5\" is not a whole number.");
    EXPECT_EQ(failure_of("T\nfive\n0.1\n"),
              "Line 2 of the file, item 1 (the sample count): \"five\" is not a number.");
    // 32767 announced but none there: refused at the first sample, nothing huge made.
    EXPECT_EQ(failure_of("T\n32767\n0.1\n"), "The file ends after 0 of 32767 samples.");
}

TEST(WidthFile, ANumberThatCannotBeRead) {
    EXPECT_EQ(failure_of("T\n2\n0.1\n0.5,0.4\n0.6,O.45\n"),
              "Line 5 of the file, item 2 (the EG width of sample 2): \"O.45\" is not a number.");
    EXPECT_EQ(failure_of("T\n1\nwide\n0.5,0.4\n"),
              "Line 3 of the file, item 1 (the broadening value): \"wide\" is not a number.");
    EXPECT_EQ(failure_of("T\n1\n0.1\n0.5,,0.4\n"),
              "Line 4 of the file, item 2 (the EG width of sample 1) is missing: nothing stands "
              "before the comma.");
    for (const char* bad : {"nan", "inf", "1e400", "1e39", "-inf"}) {
        const auto failure = failure_of(std::string("T\n1\n0.1\n0.5,") + bad + "\n");
        EXPECT_EQ(failure,
                  std::string("Line 4 of the file, item 2 (the EG width of sample 1): \"") + bad +
                      (bad[0] == '1' ? "\" is not a number that a single-precision "
                                       "value can hold."
                                     : "\" is not a number."));
    }
}

TEST(WidthFile, FromDisk) {
    ScratchFolder folder;
    const auto missing = read_width_file(folder.file("none.IW"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error(), "The file \"" + folder.file("none.IW") +
                                   "\" cannot be opened: No such file or directory.");
    const auto read = read_width_file(folder.write("ok.IW", "T\r\n1\r\n0\r\n0.5,0.4\r\n"));
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read->ad[0], 0.5f);
}

TEST(CorrectWidths, BroadeningZeroKeepsTheWidthsExceptUnderTheTable) {
    const auto table = read_correction_text("T\n0.05\n0.1\n0.2\n0.24\n0.3\n").table;
    WidthFile file;
    file.broadening = 0;
    file.ad = {0.22f, 0.5f};
    file.eg = {0.21f, 0.4f};
    for (std::int16_t rule : {kRuleGauss, kRuleLorentz, kRuleMixture}) {
        WidthFile copy = file;
        correct_widths(copy, rule, table);
        EXPECT_EQ(copy.ad, file.ad);
        EXPECT_EQ(copy.eg, file.eg);
    }
    WidthFile by_table = file;
    correct_widths(by_table, kRuleTable, table);
    EXPECT_EQ(by_table.ad, (std::vector<float>{0.125f, -1.0f}));
    EXPECT_EQ(by_table.eg[0], file_remove(0.21f, table));
    EXPECT_EQ(by_table.eg[1], -1.0f);
}

} // namespace
} // namespace teravine
