// SPDX-License-Identifier: GPL-3.0-or-later
// A point into a sample with its values and lines, and the typed widths before it.
#include "identify/identify_point.h"
#include "identify/sample_values.h"
#include "identify/width_entry.h"
#include "text/number_text.h"

#include <gtest/gtest.h>

namespace teravine {
namespace {

TEST(IdentifyPoint, WorkedExampleWithItsValuesAndFourLines) {
    Calibration cal = make_calibration(1);
    InterpRecord interp;
    float eg = 0.4f;
    const auto placed = identify_point(cal, interp, 0.5f, eg);
    ASSERT_TRUE(placed);
    const SampleRecord& r = placed->record;
    EXPECT_EQ(r.label, "N: 24,S: 4.88%,k:1.17,Nfp: 11");
    EXPECT_EQ(number_text(r.n), " 23.98536");
    EXPECT_EQ(r.fp_pct, 8.85f);
    EXPECT_EQ(interp.k, 1.1713867f);
    EXPECT_EQ(placed->n_of, 24);
    EXPECT_EQ(placed->s_of, static_cast<float>(4.88f / 100.0));
    EXPECT_EQ(placed->fp_of, static_cast<float>(8.85f / 100.0));
    // The k line runs from 0.01 to 1.10 through the point.
    ASSERT_EQ(placed->line_k.count, 110);
    EXPECT_EQ(placed->line_k.point(1).ad, 0.01f);
    EXPECT_EQ(placed->line_k.point(110).ad, 1.1f);
    EXPECT_NEAR(placed->line_k.point(50).eg, 0.4f, 2e-5);
    EXPECT_GT(placed->line_fp.count, 1);
    EXPECT_LE(placed->line_fp.count, 8);
}

TEST(IdentifyPoint, TheSampleLiesOnItsOwnNAndSLines) {
    Calibration cal = make_calibration(2);
    InterpRecord interp;
    float eg = 0.45f;
    const auto placed = identify_point(cal, interp, 0.6f, eg);
    ASSERT_TRUE(placed);
    for (const Line* line : {&placed->line_n, &placed->line_s}) {
        int crossed = 0;
        for (int j = 1; j < line->count; ++j) {
            const LinePoint a = line->point(j), b = line->point(j + 1);
            if (a.ad <= 0.6f && 0.6f <= b.ad) {
                ++crossed;
                EXPECT_NEAR(a.eg + (0.6f - a.ad) / (b.ad - a.ad) * (b.eg - a.eg), 0.45f, 0.02f);
            }
        }
        EXPECT_EQ(crossed, 1);
    }
}

TEST(IdentifyPoint, EqualWidthsTakeTheDiagonalAsSLine) {
    Calibration cal = make_calibration(3);
    InterpRecord interp;
    float eg = 0.4f;
    const auto placed = identify_point(cal, interp, 0.4f, eg);
    ASSERT_TRUE(placed);
    ASSERT_EQ(placed->line_s.count, 2);
    EXPECT_EQ(placed->line_s.point(1).ad, 0.0f);
    EXPECT_EQ(placed->line_s.point(2).eg, 0.9f);
    EXPECT_EQ(placed->line_k.point(110).ad, 1.1f); // not limited to the R3 axes
}

// A zero 1/N or an N beyond 16 bits is a failure, not a division by zero or a wrap.
TEST(SampleValues, ValuesThatCannotBeComputedAreFailures) {
    for (const float inv_n : {0.0f, 1e-6f}) {
        Calibration cal = make_calibration(1);
        InterpRecord rec{1, 2, 1, 0, 0};
        cal.coef_invn[1][1] = {0, inv_n, 0, 0, 0, 0};
        const auto values = sample_values(cal, rec, 0.5f);
        ASSERT_FALSE(values) << inv_n;
        EXPECT_NE(values.error().find("N"), std::string::npos);
    }
    EXPECT_FALSE(nfp_from_percent(0.0f));
    EXPECT_EQ(*nfp_from_percent(12.5f), 8);
}

// The numbers of the three boxes; each refusal's message is pinned by the window's tests.
TEST(ParseBoxNumber, OneRuleForEveryBox) {
    const std::pair<const char*, float> good[] = {{"0.5", 0.5f},   {" .5 ", 0.5f}, {"5.", 5.0f},
                                                  {"-0.1", -0.1f}, {"+0.1", 0.1f}, {"1e-1", 0.1f}};
    for (const auto& [text, value] : good) {
        EXPECT_EQ(parse_box_number(text), value) << text;
    }
    for (const char* bad : {"", " ", "abc", "0.5abc", "0..5", "nan", "inf", "-inf", "0x1p-2",
                            "1e400", "--1", "+", ".", "0.5 0.4", "0,5"}) {
        EXPECT_FALSE(parse_box_number(bad)) << bad;
    }
    // The locale's separator is accepted beside the point.
    EXPECT_EQ(parse_box_number("0,5", ','), 0.5f);
    EXPECT_EQ(parse_box_number("0.5", ','), 0.5f);
    EXPECT_FALSE(parse_box_number("0,5,1", ','));
}

TEST(CheckWidthEntry, TheLimitsOfTheWidths) {
    // The limits themselves are accepted.
    for (const char* eg : {"0.5", "0.011"}) {
        EXPECT_EQ(check_width_entry("", "0.5", eg, 1.1f).problem, EntryProblem::None) << eg;
    }
    EXPECT_EQ(check_width_entry("", "1.0999", "0.4", 1.1f).problem, EntryProblem::None);
    EXPECT_EQ(check_width_entry("", "0.9", "0.4", 0.9f).problem, EntryProblem::WidthsOutOfRange);
    EXPECT_EQ(check_width_entry("0.05", "0,5", "0,4", 1.1f, ',').problem, EntryProblem::None);
    const WidthEntry e = check_width_entry(" 0.05", "0.5", "0.4", 1.1f);
    EXPECT_EQ(e.broadening, 0.05f);
    EXPECT_EQ(e.eg, 0.4f);
}

} // namespace
} // namespace teravine
