// SPDX-License-Identifier: GPL-3.0-or-later
// Widths measured on peaks of known FWHM, with and without counting noise, on the
// backgrounds a clay pattern has, other anodes, and the patterns that have no peak.
#include "formats/anode.h"
#include "formats/synthetic_pattern.h"
#include "peaks/count_scale.h"
#include "peaks/peak_width.h"
#include "peaks/width_method.h"

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
    {0.08, 8.8, 0.5, Background::Flat, 0.01},
    {0.10, 8.5, 0.3, Background::Sloping, 0.02},
    {0.15, 9.3, 0.7, Background::Curved, 0.01},
    {0.25, 8.9, 0.5, Background::Sloping, 0.01},
    {0.40, 8.7, 0.0, Background::Curved, 0.02},
    {0.60, 9.0, 0.5, Background::Flat, 0.02},
    {0.80, 8.6, 0.3, Background::Curved, 0.02},
    {1.10, 8.8, 0.3, Background::Sloping, 0.02},
    {1.10, 9.3, 0.0, Background::Curved, 0.02},
    // Densely sampled: the smoothing sums its parabolas from running sums.
    {0.45, 8.8, 0.5, Background::Sloping, 0.0002},
    {1.10, 8.8, 0.3, Background::Curved, 0.0005},
    // On the steep low-angle rise, which a straight background reads 5 % narrow.
    {0.30, 8.8, 0.5, Background::Steep, 0.02},
    {0.45, 9.2, 0.3, Background::Steep, 0.01},
    {0.60, 8.8, 0.0, Background::Steep, 0.02},
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

// The integral breadth is the peak's own: a pseudo-Voigt of η 0.5 has 1.318 FWHM, less
// what its tails lose beyond the peak's bounds.
TEST(PeakWidth, BreadthIsThePeaksOwnArea) {
    for (const auto& c : kCases) {
        PeakShape shape{c.fwhm, c.position, 3000, c.eta, c.background, c.step};
        shape.noise_seed = 3;
        const auto w = measure_peak(synthetic::make_pattern(shape));
        ASSERT_TRUE(w.ok()) << w.error();
        const double full = c.eta * std::acos(-1.0) / 2 + (1 - c.eta) * 1.0645;
        EXPECT_LT(w->breadth, full * c.fwhm * 1.06) << c.fwhm << " " << c.eta;
        EXPECT_GT(w->breadth, full * c.fwhm * (c.fwhm > 0.7 ? 0.82 : 0.9)) << c.fwhm;
        EXPECT_EQ(w->quality, "ok") << c.fwhm << " " << c.eta;
    }
}

// Over every background, from sharp to broad, in ranges wide and narrow and with the peak
// near the range's start, with tails as a pseudo-Voigt's or a Pearson VII's: over sixteen
// draws of counting noise the widths read "ok" are on average within 2 % of the truth, or
// within 2 u/√n where the noise allows no better (a single draw strays beyond 2 u one time in
// twenty, so a single draw cannot be held to it), and none strays beyond 5 u; the others say
// why they are doubtful.
TEST(PeakWidth, ReadsTheTruthOrSaysWhyNot) {
    struct Place {
        double position;
        PeakRange range;
        double pearson_m; // 0: a pseudo-Voigt of η 0.5
    };
    const Place places[] = {{8.8, {}, 0},       {7.6, {}, 0}, {8.8, {5, 12.5}, 0},
                            {8.8, {8, 9.8}, 0}, {8.8, {}, 2}, {8.8, {5, 12.5}, 3}};
    for (const Background background :
         {Background::Flat, Background::Curved, Background::Steep, Background::Rise}) {
        for (const Place& place : places) {
            // The high rise is read from near the pattern's start, as a range proposed for a
            // broad peak may begin.
            const bool rise = background == Background::Rise;
            const PeakRange range = rise ? PeakRange{2.6, 12} : place.range;
            for (const double fwhm : {0.3, 0.45, 1.5}) {
                SCOPED_TRACE(::testing::Message()
                             << fwhm << " over background " << static_cast<int>(background)
                             << " at " << place.position << " in " << range.lo << ":" << range.hi
                             << ", m " << place.pearson_m);
                PeakShape shape{fwhm, place.position, 3000, 0.5, background, 0.02, 2};
                shape.pearson_m = place.pearson_m;
                double off = 0, u = 0;
                int read = 0;
                for (unsigned seed = 1; seed <= 16; ++seed) {
                    shape.noise_seed = seed;
                    const auto w = measure_peak(synthetic::make_pattern(shape), range);
                    ASSERT_TRUE(w.ok()) << w.error();
                    if (w->quality == "ok") {
                        EXPECT_LE(std::abs(w->fwhm - fwhm), std::max(0.02 * fwhm, 5 * w->u_fwhm))
                            << "seed " << seed << ": " << w->fwhm << " ± " << w->u_fwhm;
                        off += w->fwhm - fwhm;
                        u += w->u_fwhm;
                        ++read;
                    }
                }
                EXPECT_LE(std::abs(off), std::max(0.02 * fwhm * read, 2 * u / std::sqrt(read)))
                    << "mean of " << read << ": " << off / read;
            }
            if (rise) {
                break;
            }
        }
    }
}

// Where the peak is weak the background is as much the reading as the peak: the flanks,
// taken from the lower half of their windows so that a tail does not lift them, sit on the
// background on average (within a third of its counting deviation over sixteen draws, not
// the four fifths below it that a plain lower half gives), and the width is not read wide.
TEST(PeakWidth, WeakPeaksStandOnTheTrueBackground) {
    const PeakShape cases[] = {{0.3, 8.8, 110, 0.5, Background::Flat, 0.02},
                               {0.6, 8.8, 130, 0.5, Background::Sloping, 0.02},
                               {0.45, 8.8, 150, 0.5, Background::Steep, 0.02},
                               {1.0, 8.8, 110, 0.5, Background::Flat, 0.01}};
    for (PeakShape shape : cases) {
        double low = 0, high = 0, off = 0;
        for (unsigned seed = 1; seed <= 16; ++seed) {
            shape.noise_seed = seed;
            const auto w = measure_peak(synthetic::make_pattern(shape), {}, Uncertainty::skipped);
            ASSERT_TRUE(w.ok()) << w.error();
            const double lo = synthetic::background_at(shape.background, w->range_lo);
            const double hi = synthetic::background_at(shape.background, w->range_hi);
            low += (w->background_lo - lo) / std::sqrt(lo) / 16;
            high += (w->background_hi - hi) / std::sqrt(hi) / 16;
            off += (w->fwhm / shape.fwhm - 1) / 16;
        }
        EXPECT_NEAR(low, 0, 0.33) << shape.fwhm;
        EXPECT_NEAR(high, 0, 0.33) << shape.fwhm;
        EXPECT_LT(off, 0.04) << shape.fwhm;
    }
}

// A gentle bow of the background, too slight for the low-angle flank alone to tell, shows in
// the slopes of both flanks once the counts are high enough, and is followed: the chord
// would run above it and read the peak 5-6 % narrow. A straight slope of as many counts
// stays straight. Counts without noise, rounded to whole counts.
TEST(PeakWidth, FollowsABowBothFlanksShow) {
    struct Case {
        double fwhm;
        Background background;
        double times;
    };
    const Case cases[] = {{0.3, Background::Curved, 15},  {0.3, Background::Curved, 20},
                          {0.6, Background::Curved, 20},  {0.6, Background::Curved, 25},
                          {0.3, Background::Sloping, 20}, {0.6, Background::Sloping, 25}};
    for (const Case& c : cases) {
        const double height = synthetic::background_at(c.background, 8.8);
        Pattern pattern = synthetic::make_pattern({c.fwhm, 8.8, height, 0.5, c.background, 0.02});
        for (double& y : pattern.counts) {
            y = std::round(y * c.times);
        }
        const auto w = measure_peak(pattern, {}, Uncertainty::skipped);
        ASSERT_TRUE(w.ok()) << w.error();
        EXPECT_NEAR(w->fwhm / c.fwhm, 1, 0.02)
            << c.fwhm << " on background " << static_cast<int>(c.background) << " × " << c.times;
    }
}

struct Doubtful {
    const char* what;
    PeakShape shape;
    const char* quality;
};

// Widths that are given, with the reasons to doubt them.
TEST(PeakWidth, FlagsDoubtfulReadings) {
    PeakShape shoulder{0.3, 8.8, 3000, 0.5, Background::Sloping, 0.02, 4, 14, 4};
    shoulder.second_position = 9.3;
    shoulder.second_height = 1400;
    PeakShape neighbour = shoulder;
    neighbour.second_position = 10.2;
    neighbour.second_height = 800;
    const std::vector<Doubtful> cases = {
        {"strong", {0.3, 8.8, 3000, 0.5, Background::Curved, 0.02, 4, 14, 8}, "ok"},
        {"faint", {0.4, 8.8, 80, 0.5, Background::Flat, 0.02, 4, 14, 8}, "weak"},
        {"a flank on the end", {0.8, 10.7, 3000, 0.5, Background::Flat, 0.01, 4, 14, 2}, "flank"},
        {"a top in the flank",
         {0.15, 6.9, 3000, 0.5, Background::Flat, 0.01, 4, 14, 2},
         "edge;flank"},
        {"a shoulder", shoulder, "shoulder"},
        {"a neighbour apart", neighbour, "ok"},
    };
    for (const auto& c : cases) {
        const auto w = measure_peak(synthetic::make_pattern(c.shape));
        ASSERT_TRUE(w.ok()) << c.what << ": " << w.error();
        EXPECT_EQ(w->quality, c.quality) << c.what << " " << w->fwhm;
        EXPECT_GE(w->breadth, 0) << c.what;
    }
}

// A peak too few steps of the scan across is flagged, read at half height or fitted.
TEST(PeakWidth, FlagsAPeakTheStepCannotResolve) {
    for (const WidthMethod& method : {WidthMethod{}, WidthMethod::fitted()}) {
        for (const double step : {0.01, 0.05, 0.12}) {
            PeakShape shape;
            shape.step = step;
            const auto r = read_width(synthetic::make_pattern(shape), {}, method);
            ASSERT_TRUE(r.ok()) << method.name() << " " << step << ": " << r.error();
            const bool sparse = r->width.quality.find(kSparse) != std::string::npos;
            EXPECT_EQ(sparse, step > 0.3 / 3)
                << method.name() << " " << step << " " << r->width.quality;
        }
    }
}

// Wherever the reading is "ok", the stated u is within a quarter of the scatter of the
// widths that independent counts give, from a signal-to-noise (net height over the
// background's Poisson deviation) of 5 to 500; below about 10 the reading says "weak".
TEST(PeakWidth, UncertaintyFollowsTheScatterAtEverySignalToNoise) {
    for (const double fwhm : {0.15, 0.9}) {
        for (const double ratio : {5.0, 10.0, 20.0, 50.0, 150.0, 500.0}) {
            std::vector<double> widths;
            double stated = 0;
            int doubtful = 0;
            const int repeats = 80;
            for (int seed = 1; seed <= repeats; ++seed) {
                PeakShape shape{fwhm, 8.8, ratio * std::sqrt(200.0), 0.5, Background::Flat, 0.02};
                shape.noise_seed = static_cast<unsigned>(seed);
                const auto w = measure_peak(synthetic::make_pattern(shape));
                if (!w.ok()) {
                    ++doubtful;
                    continue;
                }
                doubtful += w->quality != "ok";
                widths.push_back(w->fwhm);
                stated += w->u_fwhm;
            }
            const double n = static_cast<double>(widths.size());
            double mean = 0, sum2 = 0;
            for (const double w : widths) {
                mean += w / n;
            }
            for (const double w : widths) {
                sum2 += (w - mean) * (w - mean);
            }
            const double scatter = std::sqrt(sum2 / (n - 1));
            SCOPED_TRACE(::testing::Message() << fwhm << " at S/N " << ratio << ": scatter "
                                              << scatter << ", stated " << stated / n);
            if (doubtful == 0) {
                EXPECT_NEAR(stated / n, scatter, 0.25 * scatter) << fwhm << " at " << ratio;
            } else {
                EXPECT_LT(ratio, 15) << fwhm << ": doubtful " << doubtful;
            }
        }
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

// The same counts as counts per second with their counting time, as intensities scaled
// without one, or with a constant added that leaves no whole count, give the same width,
// uncertainty and quality: the noise is never taken as Poisson on scaled numbers. Each
// basis is the one `pattern --info` names.
TEST(PeakWidth, ScaledIntensitiesKeepTheNoiseOfTheirCounts) {
    for (const double fwhm : {0.15, 0.6}) {
        PeakShape shape{fwhm, 8.8, 1500, 0.5, Background::Sloping, 0.02};
        shape.noise_seed = 4;
        const Pattern counted = synthetic::make_pattern(shape);
        const auto reference = measure_peak(counted);
        ASSERT_TRUE(reference.ok()) << reference.error();
        const struct {
            const char* what;
            double factor, offset;
            bool per_second;
            CountBasis basis;
        } cases[] = {
            {"counts", 1, 0, false, CountBasis::counted},
            {"cps of 10 s", 0.1, 0, true, CountBasis::converted},
            {"scaled", 0.1, 0, false, CountBasis::estimated},
            {"counts + 0.001", 1, 0.001, false, CountBasis::estimated},
            {"cps, no time", 0.04, 0, true, CountBasis::estimated},
        };
        for (const auto& c : cases) {
            Pattern pattern = counted;
            for (double& y : pattern.counts) {
                y = y * c.factor + c.offset;
            }
            if (c.per_second) {
                pattern.units = CountUnits::per_second;
                pattern.counting_time = c.basis == CountBasis::converted ? 1 / c.factor : 0;
            }
            EXPECT_EQ(count_scale(pattern).basis, c.basis) << c.what;
            const auto w = measure_peak(pattern);
            ASSERT_TRUE(w.ok()) << c.what << ": " << w.error();
            EXPECT_NEAR(w->fwhm, reference->fwhm, 0.1 * reference->u_fwhm) << c.what;
            EXPECT_NEAR(w->u_fwhm, reference->u_fwhm, 0.3 * reference->u_fwhm) << c.what;
            EXPECT_NEAR(w->height, reference->height * c.factor, 0.01 * w->height) << c.what;
            EXPECT_EQ(w->quality, reference->quality) << c.what;
        }
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
        {"falling", {0.3, 8.8, 0, 0.5, Background::Curved}, "no peak"},
        {"faint", {0.3, 8.8, 20, 0.5, Background::Flat, 0.01, 4, 14, 9}, "below three standard"},
        {"noise", {0.3, 8.8, 0, 0.5, Background::Sloping, 0.01, 4, 14, 5}, "no peak"},
        {"beyond the range",
         {1.0, 11.4, 3000, 0.5, Background::Flat, 0.01, 4, 14, 2},
         "does not fall to half its height above it"},
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
    const auto reversed = measure_peak(synthetic::make_pattern({}), PeakRange{9, 8});
    ASSERT_FALSE(reversed.ok());
    EXPECT_NE(reversed.error().find("is empty"), std::string::npos) << reversed.error();
}

} // namespace
} // namespace teravine
