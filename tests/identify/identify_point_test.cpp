// SPDX-License-Identifier: GPL-3.0-or-later
#include "identify/identify_point.h"
#include "model/solvers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace teravine {
namespace {

TEST(IdentifyPoint, WorkedExampleWithItsFourLines) {
    Calibration cal = make_calibration(1);
    InterpRecord interp;
    float eg = 0.4f;
    const auto placed = identify_point(cal, interp, 0.5f, eg);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->record.label, "N: 24,S: 4.88%,k:1.17,Nfp: 11");
    EXPECT_EQ(interp.k, 1.1713867f);
    EXPECT_EQ(placed->n_of, 24);
    EXPECT_EQ(placed->s_of, static_cast<float>(4.88f / 100.0));
    EXPECT_EQ(placed->fp_of, static_cast<float>(8.85f / 100.0));

    // The k line runs from 0.01 to 1.10 through the point.
    ASSERT_EQ(placed->line_k.count, 110);
    EXPECT_EQ(placed->line_k.point(1).ad, 0.01f);
    EXPECT_EQ(placed->line_k.point(110).ad, 1.1f);
    EXPECT_NEAR(placed->line_k.point(50).eg, 0.4f, 2e-5);

    EXPECT_GT(placed->line_n.count, 1);
    EXPECT_GT(placed->line_s.count, 1);
    EXPECT_GT(placed->line_fp.count, 1);
    EXPECT_LE(placed->line_fp.count, 8);
}

TEST(IdentifyPoint, TheSampleLiesOnItsOwnNAndSLines) {
    Calibration cal = make_calibration(2);
    InterpRecord interp;
    float eg = 0.45f;
    const auto placed = identify_point(cal, interp, 0.6f, eg);
    ASSERT_TRUE(placed);
    // Between the two stored points around AD 0.6 the lines pass near the sample.
    for (const Line* line : {&placed->line_n, &placed->line_s}) {
        for (int j = 1; j < line->count; ++j) {
            const LinePoint a = line->point(j), b = line->point(j + 1);
            if (a.ad <= 0.6f && 0.6f <= b.ad) {
                const float t = (0.6f - a.ad) / (b.ad - a.ad);
                EXPECT_NEAR(a.eg + t * (b.eg - a.eg), 0.45f, 0.02f);
            }
        }
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
    EXPECT_EQ(placed->line_s.point(2).ad, 0.9f);
    EXPECT_EQ(placed->line_s.point(2).eg, 0.9f);
    EXPECT_EQ(placed->line_k.point(110).ad, 1.1f); // not limited to the R3 axes
}

} // namespace
} // namespace teravine
