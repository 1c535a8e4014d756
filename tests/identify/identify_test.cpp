// SPDX-License-Identifier: GPL-3.0-or-later
// A point into a sample with its values and lines, the typed widths before it, and the
// fast ways of identifying many (tables, memo, cores), bit for bit the same.
#include "identify/identify_pairs.h"
#include "identify/identify_point.h"
#include "identify/sample_values.h"
#include "identify/width_entry.h"
#include "lines/line_builders.h"
#include "support/fingerprint.h"
#include "text/number_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace teravine {
namespace {

// A point identified as a click identifies it.
struct Placed {
    Calibration cal;
    InterpRecord interp;
    std::optional<PlacedSample> sample;
};
Placed place(std::int16_t reich, float ad, float eg) {
    Placed p{make_calibration(reich), {}, {}};
    Identification found = identify_point(p.cal, ad, eg);
    p.interp = found.place.rec;
    p.sample = std::move(found.placed);
    return p;
}

// The worked example of the README: R0, AD 0.5, EG 0.4.
TEST(IdentifyPoint, WorkedExampleWithItsValuesAndFourLines) {
    auto [cal, interp, placed] = place(1, 0.5f, 0.4f);
    ASSERT_TRUE(placed);
    const SampleRecord& r = placed->record;
    EXPECT_EQ(r.label, "N: 24,S: 4.88%,k:1.17,Nfp: 11");
    // N = 1 / 0.0416921 and k as find_k places the point (tests/model); 100 / 8.85 = 11.3
    // gives the label's Nfp.
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
    // The N and %S lines are those of the sample's own values.
    Line n_line, s_line;
    build_const_n_line(cal, 24, n_line);
    build_const_s_line(cal, placed->s_of, s_line);
    EXPECT_EQ(fingerprint(placed->line_n), fingerprint(n_line));
    EXPECT_EQ(fingerprint(placed->line_s), fingerprint(s_line));
    EXPECT_GT(placed->line_fp.count, 1);
    EXPECT_LE(placed->line_fp.count, 8);
}

TEST(IdentifyPoint, EqualWidthsTakeTheDiagonalAsSLine) {
    const auto placed = place(3, 0.4f, 0.4f).sample;
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
        const InterpRecord rec{1, 2, 1, 0};
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

// Points inside the model, on the diagonal, above it, on the k = 3 row, and widths of 0
// and below, over the whole frame of the Reichweite.
void grid_over(const Calibration& cal, std::vector<float>& ad, std::vector<float>& eg) {
    for (int i = 0; i <= 48; ++i) {
        const auto x = static_cast<float>(-0.01 + i * (cal.range() + 0.02) / 48);
        for (int j = 0; j <= 26; ++j) {
            ad.push_back(x);
            eg.push_back(j == 25   ? x
                         : j == 26 ? Pol5_0(cal.coef_eg, cal.reich, 5, x)
                                   : static_cast<float>(x * (0.55 + 0.5 * j / 24)));
        }
    }
}

// All that identifying one point gives: the sample, the EG width as find_k leaves it and,
// inside the model, its place.
Fingerprint whole(const Identification& found) {
    Fingerprint f = fingerprint(found.placed);
    f.push_back(std::bit_cast<std::uint32_t>(found.place.eg));
    if (found.place.inside()) {
        const Fingerprint of_at = fingerprint(found.place.rec);
        f.insert(f.end(), of_at.begin(), of_at.end());
    }
    return f;
}

TEST(IdentifyPairs, TablesMemoAndEveryWorkerCountGiveThePlainResultBitForBit) {
    for (std::int16_t reich : {1, 2, 3}) {
        const Calibration cal = make_calibration(reich);
        const LineTables tables = make_line_tables(cal);
        LineMemo memo(tables);
        std::vector<float> ad, eg;
        grid_over(cal, ad, eg);
        std::vector<std::vector<Fingerprint>> by_workers(4);
        for (unsigned workers = 0; workers <= 3; ++workers) {
            for (const Identification& got : identify_pairs(cal, tables, ad, eg, workers)) {
                by_workers[workers].push_back(whole(got));
            }
        }
        int placed = 0;
        for (int round = 0; round < 2; ++round) { // the second round takes every line from the memo
            for (std::size_t i = 0; i < ad.size(); ++i) {
                const Identification want = identify_point(cal, ad[i], eg[i]);
                const Fingerprint expected = whole(want);
                const std::string what =
                    "R index " + std::to_string(reich) + " point " + std::to_string(i);
                EXPECT_EQ(whole(identify_point(cal, tables, ad[i], eg[i])), expected) << what;
                EXPECT_EQ(whole(identify_point(cal, memo, ad[i], eg[i])), expected) << what;
                for (const auto& results : by_workers) {
                    EXPECT_EQ(results[i], expected) << what;
                }
                placed += want.placed.has_value();
            }
        }
        EXPECT_GT(placed, 800) << "R index " << reich;
    }
}

} // namespace
} // namespace teravine
