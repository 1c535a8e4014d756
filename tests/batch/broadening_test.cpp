// SPDX-License-Identifier: GPL-3.0-or-later
// The four rules of remove_inst, file_remove on a loaded table, and the
// reading of correction files.
#include "model/broadening.h"
#include "model/correction_file.h"
#include "support/scratch_folder.h"
#include "text/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace teravine {
namespace {


// A three-value table: grid 0.1, 0.15, 0.2 for the measured 0.2, 0.24, 0.3.
const char* const kThreeValues = "Instrument X, 2024\r\n0.05\r\n0.1\r\n0.2\r\n0.24\r\n0.3\r\n";

CorrectionTable three_value_table() {
    const auto read = read_correction_text(kThreeValues);
    EXPECT_TRUE(read.ok()) << read.error;
    return read.table;
}

TEST(RemoveInst, ThePartsExamples) {
    EXPECT_EQ(number_text(remove_inst(0.30f, 0.10f, kRuleGauss)), " .2828427");
    EXPECT_EQ(number_text(remove_inst(0.30f, 0.10f, kRuleLorentz)), " .2");
    EXPECT_EQ(number_text(remove_inst(0.30f, 0.10f, kRuleMixture)), " .2378414");
    // 0.3f - 0.1f in double lies just past the middle between 0.2f and the next single:
    // it prints as .2 to seven digits but is not 0.2f itself.
    EXPECT_EQ(remove_inst(0.30f, 0.10f, kRuleLorentz), std::nextafter(0.2f, 1.0f));
}

TEST(RemoveInst, ArithmeticInDoubleOnlyTheResultSingle) {
    const double big = 0.30f, small = 0.10f;
    const double gauss = std::sqrt(big * big - small * small);
    EXPECT_EQ(remove_inst(0.30f, 0.10f, kRuleGauss), static_cast<float>(gauss));
    // B - b is not rounded to a single inside the product.
    EXPECT_EQ(remove_inst(0.30f, 0.10f, kRuleMixture),
              static_cast<float>(std::sqrt(gauss * (big - small))));
    EXPECT_EQ(remove_inst(0.30f, 0.10f, kRuleLorentz), static_cast<float>(big - small));
}

TEST(RemoveInst, AWidthBelowTheBroadeningGivesMinusOneForEveryRule) {
    const CorrectionTable table = three_value_table();
    const float below = std::nextafter(0.25f, 0.0f);
    for (std::int16_t rule : {kRuleGauss, kRuleLorentz, kRuleMixture, kRuleTable}) {
        EXPECT_EQ(remove_inst(below, 0.25f, rule, table), -1.0f) << rule;
    }
    // 0.22 lies inside the table, but it is below b: -1 under the table rule as well.
    EXPECT_EQ(remove_inst(0.22f, 0.23f, kRuleTable, table), -1.0f);
    EXPECT_EQ(remove_inst(0.22f, 0.0f, kRuleTable, table), 0.125f);
}

TEST(RemoveInst, DecidedCases) {
    // A negative b with B^2 < b^2 cannot go under a square root: -1, not NaN.
    EXPECT_EQ(remove_inst(0.1f, -0.3f, kRuleGauss), -1.0f);
    EXPECT_EQ(remove_inst(0.1f, -0.3f, kRuleMixture), -1.0f);
    EXPECT_EQ(remove_inst(0.1f, -0.3f, kRuleLorentz), static_cast<float>(0.1 + double{0.3f}));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(remove_inst(nan, 0.1f, kRuleGauss), -1.0f);
    EXPECT_EQ(remove_inst(0.3f, nan, kRuleLorentz), -1.0f);
}

TEST(FileRemove, TheThreeValueTable) {
    const CorrectionTable t = three_value_table();
    EXPECT_EQ(t.cor_count, 3);
    EXPECT_EQ(t.cor_step, 0.05f);
    EXPECT_EQ(t.cor_start, 0.1f);
    EXPECT_EQ(number_text(t.corrected[0]), " .1");
    EXPECT_EQ(number_text(t.corrected[1]), " .15");
    EXPECT_EQ(number_text(t.corrected[2]), " .2");
    EXPECT_EQ(t.measured[1], 0.24f);

    EXPECT_EQ(number_text(file_remove(0.22f, t)), " .125");
    EXPECT_EQ(number_text(file_remove(0.21f, t)), " .1125");
    EXPECT_EQ(file_remove(0.2f, t), -1.0f); // equal to the first entry
    EXPECT_EQ(number_text(file_remove(0.3f, t)), " .2");
    EXPECT_EQ(file_remove(0.3f, t), t.corrected[2]); // equal to an entry: exactly its grid
    EXPECT_EQ(file_remove(0.24f, t), t.corrected[1]);
    EXPECT_EQ(file_remove(0.31f, t), -1.0f);
    EXPECT_EQ(file_remove(0.1f, t), -1.0f);
    EXPECT_EQ(file_remove(std::numeric_limits<float>::quiet_NaN(), t), -1.0f);
}

TEST(FileRemove, AWholeTableOf501Entries) {
    std::string text = "Fine grid\n0.001 0\n";
    for (int i = 0; i < kMaxCorEntries; ++i) {
        text += std::to_string(0.05 + 0.002 * i) + "\n";
    }
    const auto read = read_correction_text(text);
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.table.cor_count, 501);
    EXPECT_EQ(read.table.corrected[500], static_cast<float>(500.0 * double{0.001f} + 0.0));
    EXPECT_EQ(file_remove(read.table.measured[500], read.table), read.table.corrected[500]);
    EXPECT_EQ(file_remove(1.06f, read.table), -1.0f);
}

TEST(CorrectionFile, TitleOnlyIsAFailure) {
    for (const char* text : {"Title only", "Title only\r\n", "Title only\n\n  \n"}) {
        const auto read = read_correction_text(text);
        EXPECT_FALSE(read.ok());
        EXPECT_EQ(read.error, "The file ends before the step of the corrected widths.");
        EXPECT_EQ(read.table.cor_count, 0);
    }
    const auto no_start = read_correction_text("Title\n0.05\n");
    EXPECT_EQ(no_start.error, "The file ends before the first corrected width.");
    EXPECT_EQ(no_start.table.cor_step, 0.05f);
}

TEST(CorrectionFile, An502ndValueIsAFailureAndTheFirst501Stay) {
    std::string text = "Too long\n0.001\n0\n";
    for (int i = 1; i <= 502; ++i) {
        text += std::to_string(i) + (i % 10 == 0 ? "\n" : ",");
    }
    const auto read = read_correction_text(text);
    ASSERT_FALSE(read.ok());
    EXPECT_NE(read.error.find("more than 501"), std::string::npos) << read.error;
    EXPECT_EQ(read.error.rfind("Line 54 of the file, item 2", 0), 0u) << read.error;
    EXPECT_EQ(read.table.cor_count, 501);
    EXPECT_EQ(read.table.measured[0], 1.0f);
    EXPECT_EQ(read.table.measured[500], 501.0f);
}

TEST(CorrectionFile, ANonNumberKeepsTheEntriesBeforeIt) {
    const auto read = read_correction_text("T\n0.05 0.1\n0.2\n0.24\n0.3O\n0.4\n");
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error,
              "Line 5 of the file, item 1 (measured width 3): \"0.3O\" is not a number.");
    EXPECT_EQ(read.table.cor_count, 2);
    EXPECT_EQ(read.table.measured[1], 0.24f);
}

TEST(CorrectionFile, HostileInputs) {
    EXPECT_FALSE(read_correction_text(std::string("\xFF\xFE"
                                                  "T\0i\0",
                                                  6))
                     .ok());
    EXPECT_FALSE(read_correction_text("T\n0.05\n0.1\n0.2\nnan\n").ok());
    EXPECT_FALSE(read_correction_text("T\n0.05\n0.1\n0.2\n1e39\n").ok());
    EXPECT_FALSE(read_correction_text("T\n0.05\n0.1\n0.2,,0.3\n").ok());
    // A decimal comma splits a number in two ('.' is the only decimal point): "0,05" is
    // the step 0 and the start 5, and "0,1" the measured widths 0 and 1.
    const auto comma = read_correction_text("T\n0,05\n0,1\n");
    ASSERT_TRUE(comma.ok()) << comma.error;
    EXPECT_EQ(comma.table.cor_step, 0.0f);
    EXPECT_EQ(comma.table.cor_start, 5.0f);
    EXPECT_EQ(comma.table.cor_count, 2);
    EXPECT_EQ(comma.table.measured[1], 1.0f);
    const auto bom = read_correction_text("\xEF\xBB\xBFT\n0.05\n0.1\n0.2\n0.24\n0.3\n");
    ASSERT_TRUE(bom.ok()) << bom.error;
    EXPECT_EQ(bom.table.cor_count, 3);
}

} // namespace
} // namespace teravine
