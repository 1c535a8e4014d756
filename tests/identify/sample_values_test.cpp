// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/result_line.h"
#include "identify/sample_values.h"
#include "model/solvers.h"
#include "text/number_text.h"

#include <gtest/gtest.h>

namespace teravine {
namespace {

struct Identified {
    SampleValues values;
    std::string label;
    std::string line;
};

std::optional<Identified> identify(std::int16_t reich, float ad, float eg) {
    Calibration cal = make_calibration(reich);
    InterpRecord rec;
    if (find_k(rec, cal.coef_eg, ad, eg, reich) != kInside) {
        return std::nullopt;
    }
    const auto values = sample_values(cal, rec, ad);
    if (!values) {
        return std::nullopt;
    }
    const auto nfp = label_nfp(*values, ad, eg);
    const auto file_nfp = nfp_from_percent(values->fp_pct);
    return Identified{*values, sample_label(*values, *nfp),
                      result_line(ad, eg, *values, *file_nfp)};
}

TEST(SampleValues, WorkedExample) {
    const auto got = identify(1, 0.5f, 0.4f);
    ASSERT_TRUE(got);
    EXPECT_EQ(number_text(got->values.n), " 23.98536");
    EXPECT_EQ(got->values.n_int, 24);
    EXPECT_EQ(got->values.s_pct, 4.88f);
    EXPECT_EQ(got->values.fp_pct, 8.85f);
    EXPECT_EQ(got->values.k, 1.1713867f);
    EXPECT_EQ(got->label, "N: 24,S: 4.88%,k:1.17,Nfp: 11");
    EXPECT_EQ(got->line, " .5\t .4\t 24\t 4.88\t1.17\t 11");
}

TEST(SampleValues, AZeroInverseNIsAFailureNotADivisionByZero) {
    Calibration cal = make_calibration(1);
    InterpRecord rec{1, 2, 1, 0, 0};
    cal.coef_invn[1][1].fill(0);
    const auto values = sample_values(cal, rec, 0.5f);
    ASSERT_FALSE(values);
    EXPECT_NE(values.error().find("N"), std::string::npos);
}

TEST(SampleValues, SixteenBitOverflowIsAFailure) {
    Calibration cal = make_calibration(1);
    InterpRecord rec{1, 2, 1, 0, 0};
    // A row whose 1/N is tiny gives an N beyond 16 bits.
    cal.coef_invn[1][1] = {0, 1e-6f, 0, 0, 0, 0};
    EXPECT_FALSE(sample_values(cal, rec, 0.5f));
}

TEST(SampleValues, NfpPercentZeroIsAFailure) {
    EXPECT_FALSE(nfp_from_percent(0.0f));
    EXPECT_EQ(*nfp_from_percent(8.85f), 11);
    EXPECT_EQ(*nfp_from_percent(12.5f), 8);
}

} // namespace
} // namespace teravine
