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
    {0.08, 8.8, 0.5, Background::Flat, 0.01},   {0.10, 8.5, 0.3, Background::Sloping, 0.02},
    {0.15, 9.3, 0.7, Background::Curved, 0.01}, {0.25, 8.9, 0.5, Background::Sloping, 0.01},
    {0.40, 8.7, 0.0, Background::Curved, 0.02}, {0.60, 9.0, 0.5, Background::Flat, 0.02},
    {0.80, 8.6, 0.3, Background::Curved, 0.02}, {1.10, 8.8, 0.3, Background::Sloping, 0.02},
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
        EXPECT_NEAR(exact->fwhm, c.fwhm, tolerance(c.fwhm, 0.003, 0.015))
            << c.fwhm << " at " << c.position;
        EXPECT_NEAR(exact->position, c.position, 0.003) << c.fwhm;
        EXPECT_NEAR(exact->height, 3000, 3000 * 0.03) << c.fwhm;
        EXPECT_FALSE(exact->converted);
        shape.noise_seed = 11;
        const auto noisy = measure_peak(synthetic::make_pattern(shape));
        ASSERT_TRUE(noisy.ok()) << c.fwhm << " " << noisy.error();
        EXPECT_NEAR(noisy->fwhm, c.fwhm, tolerance(c.fwhm, 0.01, 0.03))
            << c.fwhm << " at " << c.position;
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
        EXPECT_GT(stated, scatter / 1.3) << fwhm;
        EXPECT_LT(stated, scatter * 1.3) << fwhm;
    }
}

// A crystallite broadens its peak by K λ / (L cos θ): a pattern taken with a cobalt or
// molybdenum anode measures the width the same crystallites give under Cu Kα.
TEST(PeakWidth, CarriesOtherAnodesOverToCopper) {
    const double kDegree = std::acos(-1.0) / 180;
    for (const double wavelength : {1.789010, 0.709300}) {
        const double fwhm_cu = 0.35, position_cu = 8.8;
        const double d = kCuKAlpha1 / (2 * std::sin(position_cu / 2 * kDegree));
        const double theta = std::asin(wavelength / (2 * d));
        const double theta_cu = position_cu / 2 * kDegree;
        PeakShape shape;
        shape.position = 2 * theta / kDegree;
        shape.fwhm = fwhm_cu * (wavelength / std::cos(theta)) / (kCuKAlpha1 / std::cos(theta_cu));
        shape.from = 1;
        shape.to = 20;
        shape.step = 0.005;
        Pattern pattern = synthetic::make_pattern(shape);
        pattern.wavelength = wavelength;
        const auto w = measure_peak(pattern);
        ASSERT_TRUE(w.ok()) << w.error();
        EXPECT_TRUE(w->converted);
        EXPECT_NEAR(w->position, position_cu, 0.003) << wavelength;
        EXPECT_NEAR(w->fwhm, fwhm_cu, 0.015 * fwhm_cu) << wavelength;
    }
}

struct NoPeak {
    const char* what;
    PeakShape shape;
    const char* reason;
};

TEST(PeakWidth, NamesThePatternWhenThereIsNoPeak) {
    const std::vector<NoPeak> cases = {
        {"flat", {0.3, 8.8, 0}, "flat or rise or fall"},
        {"falling", {0.3, 8.8, 0, 0.5, Background::Curved}, "flat or rise or fall"},
        {"faint", {0.3, 8.8, 20, 0.5, Background::Flat, 0.01, 4, 14, 9}, "below three standard"},
        {"noise", {0.3, 8.8, 0, 0.5, Background::Sloping, 0.01, 4, 14, 5}, "no peak"},
        {"at the edge", {0.8, 10.7}, "does not fall to half its height above it"},
        {"coarse", {0.3, 8.8, 3000, 0.5, Background::Flat, 1.0}, "fewer than 10 points"},
        {"elsewhere",
         {0.3, 30, 3000, 0.5, Background::Flat, 0.02, 20, 40},
         "the range between 6.5° and 11.5° 2θ is not inside the pattern, which holds points "
         "from 20° to 40°"},
        {"starting inside the range",
         {0.3, 8.8, 3000, 0.5, Background::Flat, 0.02, 7, 20},
         "is not inside the pattern, which holds points from 7° to 20°"},
    };
    for (const auto& c : cases) {
        Pattern pattern = synthetic::make_pattern(c.shape);
        pattern.name = "AD.xy";
        const auto w = measure_peak(pattern);
        ASSERT_FALSE(w.ok()) << c.what;
        EXPECT_EQ(w.error().rfind("AD.xy: ", 0), 0u) << w.error();
        EXPECT_NE(w.error().find(c.reason), std::string::npos) << c.what << ": " << w.error();
    }
    // Intensities scaled to 1 at the top have no counting noise to be measured against.
    Pattern scaled = synthetic::make_pattern({0.3, 8.8, 800});
    for (double& c : scaled.counts) {
        c /= 1000;
    }
    const auto measured = measure_peak(scaled);
    ASSERT_TRUE(measured.ok()) << measured.error();
    EXPECT_NEAR(measured->fwhm, 0.3, 0.003);
    const auto reversed = measure_peak(synthetic::make_pattern({}), PeakRange{9, 8});
    ASSERT_FALSE(reversed.ok());
    EXPECT_NE(reversed.error().find("is empty"), std::string::npos) << reversed.error();
}

} // namespace
} // namespace teravine
