// SPDX-License-Identifier: GPL-3.0-or-later
// Widths measured on peaks of known FWHM, with and without counting noise, on the
// backgrounds a clay pattern has, other anodes, and the patterns that have no peak.
#include "patterns/anode.h"
#include "patterns/peak_width.h"
#include "synthetic_pattern.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace teravine {
namespace {

using synthetic::Background;
using synthetic::PeakShape;

struct WidthCase {
    double fwhm, position, eta;
    Background background;
    double step;
};

const std::vector<WidthCase> kCases = {
    {0.08, 8.8, 0.5, Background::Flat, 0.01},     {0.10, 8.5, 0.3, Background::Sloping, 0.02},
    {0.15, 9.3, 0.7, Background::Curved, 0.01},   {0.25, 8.9, 0.5, Background::Sloping, 0.01},
    {0.40, 8.7, 0.0, Background::Curved, 0.02},   {0.60, 9.0, 0.5, Background::Flat, 0.02},
    {0.80, 8.6, 0.3, Background::Curved, 0.02},   {1.10, 8.8, 0.3, Background::Sloping, 0.02},
    {1.10, 9.3, 0.0, Background::Curved, 0.02},
};

double tolerance(double fwhm, double absolute, double relative) {
    return std::max(absolute, relative * fwhm);
}

TEST(PeakWidth, MeasuresKnownWidthsWithAndWithoutNoise) {
    for (const auto& c : kCases) {
        PeakShape shape{c.fwhm, c.position, 3000, c.eta, c.background, c.step};
        const auto exact = measure_peak(synthetic::make_pattern(shape));
        ASSERT_TRUE(exact.ok()) << c.fwhm << " " << exact.error();
        std::printf("%.2f %.2f exact %.5f pos %.4f br %.4f h %.1f\n", c.fwhm, c.position, exact->fwhm, exact->position, exact->breadth, exact->height);
        EXPECT_NEAR(exact->fwhm, c.fwhm, tolerance(c.fwhm, 0.003, 0.015)) << c.fwhm << " at " << c.position;
        EXPECT_NEAR(exact->position, c.position, 0.003) << c.fwhm;
        EXPECT_NEAR(exact->height, 3000, 3000 * 0.03) << c.fwhm;
        shape.noise_seed = 11;
        const auto noisy = measure_peak(synthetic::make_pattern(shape));
        ASSERT_TRUE(noisy.ok()) << c.fwhm << " " << noisy.error();
        std::printf("     noisy %.5f u %.5f\n", noisy->fwhm, noisy->u_fwhm);
        EXPECT_NEAR(noisy->fwhm, c.fwhm, tolerance(c.fwhm, 0.01, 0.03)) << c.fwhm << " at " << c.position;
    }
}

// The stated uncertainty is the scatter of the widths that counting noise gives.
TEST(PeakWidth, UncertaintyMatchesTheScatterOfRepeats) {
    for (const double fwhm : {0.1, 0.4, 1.0}) {
        double sum = 0, sum2 = 0, stated = 0;
        const int repeats = 40;
        for (int seed = 1; seed <= repeats; ++seed) {
            PeakShape shape{fwhm, 8.8, 2000, 0.5, Background::Sloping, 0.02};
            shape.noise_seed = static_cast<unsigned>(seed);
            const auto w = measure_peak(synthetic::make_pattern(shape));
            ASSERT_TRUE(w.ok()) << w.error();
            sum += w->fwhm;
            sum2 += w->fwhm * w->fwhm;
            stated += w->u_fwhm / repeats;
        }
        const double mean = sum / repeats;
        const double scatter = std::sqrt((sum2 - repeats * mean * mean) / (repeats - 1));
        std::printf("%.2f scatter %.5f stated %.5f\n", fwhm, scatter, stated);
        EXPECT_GT(stated, scatter / 1.3) << fwhm;
        EXPECT_LT(stated, scatter * 1.3) << fwhm;
    }
}

} // namespace
} // namespace teravine
