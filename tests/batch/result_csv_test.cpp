// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV beside the result file: the reason of every sample, and a result file that the
// table leaves as it was.
#include "batch/result_csv.h"
#include "batch/treatment.h"
#include "batch/width_file.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace teravine {
namespace {

TEST(ResultCsv, GivesEachSampleItsReason) {
    const SampleValues values{20, 20, 4.83f, 16.1f, 0.95f};
    struct Case {
        float located;
        bool computed;
        float ad_measured, eg_measured, ad, eg;
        std::int16_t rule;
        SampleStatus want;
    } const cases[] = {
        {kInside, true, 0.6f, 0.5f, 0.54f, 0.44f, kRuleMixture, SampleStatus::ok},
        {kAboveDiagonal, false, 0.5f, 0.6f, 0.44f, 0.54f, kRuleMixture,
         SampleStatus::above_diagonal},
        {kOutside, false, 0.7f, 0.25f, 0.64f, 0.18f, kRuleMixture, SampleStatus::below_k3_curve},
        {kOutside, false, 0.08f, 0.3f, -1, 0.28f, kRuleMixture,
         SampleStatus::narrower_than_instrument},
        {kOutside, false, 0.3f, 0.08f, 0.28f, -1, kRuleTable,
         SampleStatus::narrower_than_instrument},
        {kOutside, false, 3.0f, 0.3f, -1, 0.28f, kRuleTable,
         SampleStatus::outside_correction_table},
        {kOutside, false, NAN, 0.3f, NAN, 0.28f, kRuleMixture, SampleStatus::not_computable},
        {kInside, false, 0.6f, 0.5f, 0.54f, 0.44f, kRuleMixture, SampleStatus::not_computable},
    };
    for (const Case& c : cases) {
        TreatedSample sample{0, c.located, c.computed ? &values : nullptr, 10};
        EXPECT_EQ(sample_status(sample, c.ad_measured, c.eg_measured, c.ad, c.eg,
                                CsvTreatment{"R0", c.rule, 0.1f}),
                  c.want)
            << c.ad_measured << ", " << c.eg_measured << " -> " << status_text(c.want);
    }
}

TEST(ResultCsv, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(csv_field("below the k = 3 curve"), "below the k = 3 curve");
    EXPECT_EQ(csv_field("a,b"), "\"a,b\"");
    EXPECT_EQ(csv_field("say \"R1\""), "\"say \"\"R1\"\"\"");
    EXPECT_EQ(csv_field("two\nlines"), "\"two\nlines\"");
}

std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One row per sample in file order, each Error line of the result with its reason, and
// the result file the same, byte for byte, with the table or without.
TEST(ResultCsv, FollowsTheResultFileLineByLine) {
    ScratchFolder folder;
    auto measured = read_width_text("Examples\r\n5\r\n0.1\r\n0.6,0.5\r\n0.5,0.6\r\n"
                                    "0.7,0.25\r\n0.08,0.07\r\n0.95,0.7\r\n");
    ASSERT_TRUE(measured) << measured.error();
    WidthFile corrected = *measured;
    correct_widths(corrected, kRuleMixture, CorrectionTable{});
    const CsvTreatment treatment{"R0", kRuleMixture, corrected.broadening};
    std::vector<std::string> rows;
    const auto report = [&](const TreatedSample& sample) {
        rows.push_back(result_csv_row(sample, *measured, corrected, treatment));
    };
    Calibration cal = make_calibration(1);
    for (const bool with_table : {false, true}) {
        LineWriter out;
        ASSERT_FALSE(out.open(folder.file(with_table ? "table.IWO" : "plain.IWO")));
        ASSERT_TRUE(treat_widths_into(corrected, cal, "rule", out, {},
                                      with_table ? ReportTreated(report) : ReportTreated()));
    }
    EXPECT_EQ(file_text(folder.file("table.IWO")), file_text(folder.file("plain.IWO")));
    ASSERT_EQ(rows.size(), 5u);
    const char* const reasons[] = {",ok,", ",above the diagonal,", ",below the k = 3 curve,",
                                   ",narrower than the instrument,", ",ok,"};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].rfind(std::to_string(i + 1) + ",", 0), 0u) << rows[i];
        EXPECT_NE(rows[i].find(reasons[i]), std::string::npos) << rows[i];
        EXPECT_EQ(std::count(rows[i].begin(), rows[i].end(), ','), 13) << rows[i];
    }
    EXPECT_EQ(rows[0], "1,0.6,0.5,0.5438787,0.44267276,ok,19.609049,20,4.83,0.94799805,10,R0,"
                       "Lorentz Gauss geometric mean,0.1");
}

} // namespace
} // namespace teravine
