// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV beside the result file: the reason of every sample, and the quoting. The rows
// of the examples beside their result files: tests/cli/treat.cmake.
#include "batch/result_csv.h"

#include <gtest/gtest.h>

#include <cmath>

namespace teravine {
namespace {

TEST(ResultCsv, GivesEachSampleItsReason) {
    const SampleValues values{20, 20, 4.83f, 16.1f, 0.95f};
    struct Case {
        Placement located;
        bool computed;
        float ad_measured, eg_measured, ad, eg;
        std::int16_t rule;
        SampleStatus want;
    } const cases[] = {
        {Placement::inside, true, 0.6f, 0.5f, 0.54f, 0.44f, kRuleMixture, SampleStatus::ok},
        {Placement::above_diagonal, false, 0.5f, 0.6f, 0.44f, 0.54f, kRuleMixture,
         SampleStatus::above_diagonal},
        {Placement::outside, false, 0.7f, 0.25f, 0.64f, 0.18f, kRuleMixture,
         SampleStatus::below_k3_curve},
        {Placement::outside, false, 0.08f, 0.3f, -1, 0.28f, kRuleMixture,
         SampleStatus::narrower_than_instrument},
        {Placement::outside, false, 0.3f, 0.08f, 0.28f, -1, kRuleTable,
         SampleStatus::narrower_than_instrument},
        {Placement::outside, false, 3.0f, 0.3f, -1, 0.28f, kRuleTable,
         SampleStatus::outside_correction_table},
        {Placement::outside, false, NAN, 0.3f, NAN, 0.28f, kRuleMixture,
         SampleStatus::not_computable},
        {Placement::inside, false, 0.6f, 0.5f, 0.54f, 0.44f, kRuleMixture,
         SampleStatus::not_computable},
    };
    for (const Case& c : cases) {
        TreatedPair sample;
        sample.found.place.where = c.located;
        if (c.computed) {
            sample.found.values = values;
        }
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

} // namespace
} // namespace teravine
