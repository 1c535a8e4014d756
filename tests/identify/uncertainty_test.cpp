// SPDX-License-Identifier: GPL-3.0-or-later
// The intervals of k, N, %S and Nfp over the region of the widths' uncertainties.
#include "identify/identify_point.h"
#include "identify/uncertainty.h"
#include "model/broadening.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
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
    const Case cases[] = {{0.5f, 0.4f, 0, false},
                          {0.8f, 0.6f, 0, false},
                          {0.5f, 0.49f, 0.02f, true},
                          {0.5f, 0.4f, 0.005f, false}};
    for (const Case& c : cases) {
        const Calibration cal = make_calibration(1);
        const auto sample = identify_point(cal, c.ad, c.eg).placed;
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
        const std::vector<MeasuredPair> pairs(70, MeasuredPair{c.ad, c.eg, {}});
        const auto one = width_uncertainties(cal, pairs, {c.sigma, c.sigma}, 1);
        const auto two = width_uncertainties(cal, pairs, {c.sigma, c.sigma}, 2);
        EXPECT_EQ(one.back()->k.low, two.back()->k.low);
        EXPECT_EQ(one.back()->s_pct.high, two.back()->s_pct.high);
        const auto wider = width_uncertainty(cal, c.ad, c.eg, {}, {2 * c.sigma, 2 * c.sigma});
        ASSERT_TRUE(wider);
        // Where the region is cut, both find the same edge of the model to float
        // precision; a hair of k is left for the rounding of the two rays' points.
        EXPECT_LE(wider->k.low, u->k.low + 1e-5f);
        EXPECT_GE(wider->k.high, u->k.high - 1e-5f);
        EXPECT_LE(wider->s_pct.low, u->s_pct.low);
        EXPECT_GE(wider->s_pct.high, u->s_pct.high);
        EXPECT_LE(wider->n.low, u->n.low);
        EXPECT_GE(wider->n.high, u->n.high);
    }
}

// However wide the region, the intervals stay inside the model: %S no more than 100 and
// at least one fundamental particle.
TEST(Uncertainty, StaysInsideTheModel) {
    const Calibration cal = make_calibration(1);
    for (const float sigma : {0.5f, 3.0f, 1e15f}) {
        const auto u = width_uncertainty(cal, 0.5f, 0.4f, {}, {sigma, sigma});
        ASSERT_TRUE(u);
        EXPECT_LE(u->s_pct.high, 100.0f) << sigma;
        EXPECT_GE(u->s_pct.low, 0.0f) << sigma;
        EXPECT_GE(u->nfp.low, 1.0f) << sigma;
    }
}

// Independent identifications at random points of the region, the broadening removed
// as "Draw" removes it, fall inside the intervals; the points outside the model are the
// ones the count says. Pairs far inside, near the diagonal and near the lowest k row.
TEST(Uncertainty, RandomPointsOfTheRegionLieInsideTheIntervals) {
    struct Case {
        float ad, eg;
        WidthSigmas sigmas;
        float broadening;
    };
    const Case cases[] = {{0.6f, 0.45f, {0.01f, 0.01f}, 0},
                          {0.6f, 0.45f, {0.01f, 0.02f, 0.6f, 0.01f}, 0.1f},
                          {0.5f, 0.49f, {0.015f, 0.015f}, 0},
                          {1.2f, 0.7f, {0.02f, 0.02f, -0.5f}, 0.05f}};
    std::mt19937 random(17);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (const Case& c : cases) {
        Calibration cal = make_calibration(1);
        const BroadeningRemoval removal{c.broadening, kRuleMixture, nullptr};
        const auto u = width_uncertainty(cal, c.ad, c.eg, removal, c.sigmas);
        ASSERT_TRUE(u) << c.ad << " " << c.eg;
        const double rho = c.sigmas.correlation;
        int inside = 0;
        for (int i = 0; i < 400; ++i) {
            double x, y, z;
            do { // uniform in the ball of 0.95 of the radius
                x = unit(random), y = unit(random), z = c.sigmas.broadening > 0 ? unit(random) : 0;
            } while (x * x + y * y + z * z > 0.95 * 0.95);
            auto ad = static_cast<float>(c.ad + c.sigmas.ad * x);
            auto eg =
                static_cast<float>(c.eg + c.sigmas.eg * (rho * x + std::sqrt(1 - rho * rho) * y));
            const auto b = static_cast<float>(c.broadening + c.sigmas.broadening * z);
            remove_inst_from_pair(ad, eg, b, kRuleMixture, CorrectionTable{});
            const auto sample = identify_point(cal, ad, eg).placed;
            if (!sample) {
                continue;
            }
            ++inside;
            const SampleRecord& r = sample->record;
            const auto within = [](const ValueInterval& v, float value, float slack) {
                return value >= v.low - slack && value <= v.high + slack;
            };
            const float k_slack = 0.002f * (u->k.high - u->k.low);
            EXPECT_TRUE(within(u->k, r.k, k_slack)) << c.ad << " k " << r.k;
            EXPECT_TRUE(within(u->s_pct, r.s_pct, 0.01f)) << c.ad << " %S " << r.s_pct;
            EXPECT_TRUE(within(u->n, static_cast<float>(r.n_int), 0)) << c.ad << " N " << r.n_int;
            EXPECT_TRUE(within(u->nfp, static_cast<float>(r.nfp), 0)) << c.ad << " Nfp " << r.nfp;
        }
        EXPECT_GT(inside, 0);
        if (inside < 400) { // points outside within 0.95 of the radius: the region leaves
            EXPECT_TRUE(u->cut()) << c.ad << " " << c.eg;
        }
    }
}

} // namespace
} // namespace teravine
