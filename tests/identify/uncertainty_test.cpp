// SPDX-License-Identifier: GPL-3.0-or-later
// The intervals of k, N, %S and Nfp over the region of the widths' uncertainties.
#include "identify/identify_point.h"
#include "identify/uncertainty.h"

#include <gtest/gtest.h>

#include <vector>

namespace teravine {
namespace {

// Vanishing sigmas give the identified values, bit for bit; a region crossing the
// diagonal is cut; a wider region never gives a narrower interval.
TEST(Uncertainty, CollapsesIsCutAndGrows) {
    struct Case {
        float ad, eg, sigma;
        bool cut;
    };
    const Case cases[] = {{0.5f, 0.4f, 0, false}, {0.8f, 0.6f, 0, false},
                          {0.5f, 0.49f, 0.02f, true}, {0.5f, 0.4f, 0.005f, false}};
    for (const Case& c : cases) {
        Calibration cal = make_calibration(1);
        InterpRecord interp;
        float eg = c.eg;
        const auto sample = identify_point(cal, interp, c.ad, eg);
        ASSERT_TRUE(sample);
        const auto u = width_uncertainty(cal, c.ad, c.eg, {}, {c.sigma, c.sigma});
        ASSERT_TRUE(u);
        EXPECT_EQ(u->cut(), c.cut) << c.ad << " " << c.eg;
        EXPECT_EQ(u->k.value, sample->record.k);
        EXPECT_EQ(u->s_pct.value, sample->record.s_pct);
        EXPECT_EQ(u->n.value, sample->record.n_int);
        EXPECT_EQ(u->nfp.value, sample->record.nfp);
        if (c.sigma == 0) {
            EXPECT_EQ(u->k.low, u->k.high);
            EXPECT_EQ(u->s_pct.low, u->s_pct.high);
        }
        // The same on one worker as on many.
        const std::vector<float> ads(70, c.ad), egs(70, c.eg);
        const auto one = width_uncertainties(cal, ads, egs, {}, {c.sigma, c.sigma}, 1);
        const auto two = width_uncertainties(cal, ads, egs, {}, {c.sigma, c.sigma}, 2);
        EXPECT_EQ(one.back()->k.low, two.back()->k.low);
        EXPECT_EQ(one.back()->s_pct.high, two.back()->s_pct.high);
        const auto wider = width_uncertainty(cal, c.ad, c.eg, {}, {2 * c.sigma, 2 * c.sigma});
        ASSERT_TRUE(wider);
        if (c.cut) {
            continue; // where the region is cut, its edge is found only to a third of sigma
        }
        EXPECT_LE(wider->k.low, u->k.low);
        EXPECT_GE(wider->k.high, u->k.high);
        EXPECT_LE(wider->s_pct.low, u->s_pct.low);
        EXPECT_GE(wider->s_pct.high, u->s_pct.high);
    }
}

} // namespace
} // namespace teravine
