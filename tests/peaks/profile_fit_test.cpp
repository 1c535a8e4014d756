// SPDX-License-Identifier: GPL-3.0-or-later
// Fitted profiles on synthetic peaks of known Kα1 width: every shape, split up to 1:2,
// with the Kα2 line, on every background, beside a second peak; exact and with noise.
#include "formats/synthetic_pattern.h"
#include "peaks/peak_edges.h"
#include "peaks/peak_plot.h"
#include "peaks/profile_fit.h"
#include "peaks/width_method.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace teravine {
namespace {

using synthetic::Background;
using synthetic::PeakShape;

struct FitCase {
    const char* what;
    PeakShape peak;
    FitOptions options;
    PeakRange range{};
    double position = 8.8; // of the component reported
};

PeakShape peak(double fwhm, double right, double eta, double m, Background background) {
    PeakShape s{fwhm, 8.8, 3000, eta, background, 0.02};
    s.right_fwhm = right;
    s.pearson_m = m;
    s.doublet = true;
    return s;
}

std::vector<FitCase> cases() {
    using enum ProfileShape;
    const FitBackground quadratic = FitBackground::quadratic;
    PeakShape pair = peak(0.3, 0, 0.5, 0, Background::Sloping);
    pair.second_position = 9.4;
    pair.second_fwhm = 0.7;
    pair.second_height = 1500;
    PeakShape fine = peak(0.4, 0, 0.5, 0, Background::Sloping);
    fine.step = 0.0005; // 10,000 points in the range, fitted on their means
    fine.height = 150;
    return {
        {"pseudo-Voigt", peak(0.4, 0, 0.5, 0, Background::Flat), {pseudo_voigt}},
        {"narrow Lorentzian", peak(0.12, 0, 0.9, 0, Background::Sloping), {pseudo_voigt}},
        {"Pearson VII", peak(0.35, 0, 0, 1.6, Background::Sloping), {pearson7}},
        {"split 1:2", peak(0.25, 0.5, 0.4, 0, Background::Curved), {split_pseudo_voigt, quadratic}},
        {"split Pearson", peak(0.5, 0.3, 0, 2.5, Background::Curved), {split_pearson7, quadratic}},
        {"broad on a steep rise",
         peak(0.9, 0, 0.3, 0, Background::Steep),
         {pseudo_voigt, quadratic},
         {7.5, 10.3}},
        {"beside a broader one", pair, {pseudo_voigt, FitBackground::linear, 2, 1}},
        {"finely stepped", fine, {pseudo_voigt}},
    };
}

double kalpha1_fwhm(const PeakShape& s) {
    return s.right_fwhm > 0 ? (s.fwhm + s.right_fwhm) / 2 : s.fwhm;
}

TEST(ProfileFit, FindsTheKAlpha1WidthOfExactPeaks) {
    for (const auto& c : cases()) {
        // Whole counts, to be fitted as counted: exact intensities are no counts.
        Pattern exact = synthetic::make_pattern(c.peak);
        for (double& count : exact.counts) {
            count = std::round(count);
        }
        const auto fit = fit_profile(exact, c.range, c.options);
        ASSERT_TRUE(fit.ok()) << c.what << ": " << fit.error();
        const auto& reported = fit->reported();
        EXPECT_NEAR(reported.fwhm.value, kalpha1_fwhm(c.peak), 0.01 * kalpha1_fwhm(c.peak))
            << c.what;
        EXPECT_NEAR(reported.position.value, c.position, 0.002) << c.what;
        EXPECT_EQ(fit->components.size(), static_cast<std::size_t>(c.options.components));
        EXPECT_LT(fit->reduced_chi2.value, 0.05) << c.what;
    }
}

// The stated u covers the error: within 2 u in at least 90 % of 40 seeds.
TEST(ProfileFit, UncertaintyCoversTheErrorWithNoise) {
    for (const auto& c : cases()) {
        int covered = 0, fitted = 0;
        for (unsigned seed = 1; seed <= 40; ++seed) {
            PeakShape noisy = c.peak;
            noisy.noise_seed = seed;
            const auto fit = fit_profile(synthetic::make_pattern(noisy), c.range, c.options);
            ASSERT_TRUE(fit.ok()) << c.what << ": " << fit.error();
            const auto& width = fit->reported().fwhm;
            ++fitted;
            covered += std::abs(width.value - kalpha1_fwhm(c.peak)) <= 2 * width.u;
        }
        EXPECT_GE(covered, 36) << c.what << ": " << covered << " of " << fitted;
    }
}

// More components than peaks split a peak into parts the counts do not tell apart: the
// fit says so. An illite beside an illite-smectite is two peaks, and is not flagged.
TEST(ProfileFit, FlagsComponentsTheCountsDoNotResolve) {
    using enum ProfileShape;
    PeakShape single = peak(0.35, 0, 0.5, 0, Background::Sloping);
    PeakShape pair = peak(0.3, 0, 0.5, 0, Background::Sloping);
    pair.second_position = 9.2;
    pair.second_fwhm = 0.9;
    pair.second_height = 900;
    const struct {
        PeakShape shape;
        ProfileShape profile;
        int components;
        bool flagged;
    } cases[] = {
        {single, pseudo_voigt, 2, true},    {single, split_pearson7, 2, true},
        {single, pseudo_voigt, 3, true},    {single, split_pseudo_voigt, 3, true},
        {pair, pseudo_voigt, 2, false},     {pair, split_pearson7, 2, false},
        {single, split_pearson7, 1, false}, {pair, pseudo_voigt, 3, true},
    };
    for (const auto& c : cases) {
        for (const unsigned seed : {0u, 7u, 8u}) {
            PeakShape shape = c.shape;
            shape.noise_seed = seed;
            const auto fit = fit_profile(synthetic::make_pattern(shape), {},
                                         {c.profile, FitBackground::linear, c.components});
            ASSERT_TRUE(fit.ok()) << fit.error();
            EXPECT_EQ(fit->quality.find(kUnresolved) != std::string::npos, c.flagged)
                << profile_shape_name(c.profile) << " of " << c.components << ", "
                << (shape.second_height > 0 ? "two peaks" : "one peak") << ", seed " << seed << ": "
                << fit->quality;
        }
    }
}

// Read at half height or fitted, a broad peak that the range cuts is flagged at the flank
// with a range that holds it, read again there unflagged and true; a clean peak is not, and
// a fit of a clean peak carries no residual, which a shoulder that one profile cannot
// describe raises.
TEST(ProfileFit, EdgesAndResidualMeanTheSameForBothMethods) {
    PeakShape shoulder = peak(0.3, 0, 0.5, 0, Background::Sloping);
    shoulder.second_position = 9.15;
    shoulder.second_height = 1500;
    // A smectite's 12 Å peak, broad, beside the start of the default range, on the rise.
    PeakShape smectite = peak(1.25, 0, 0.5, 0, Background::Steep);
    smectite.from = 2;
    smectite.to = 20;
    const struct {
        const char* what;
        PeakShape shape;
        PeakRange range;
        bool flank, residual;
        double position = 9.0;
        bool fitted = true; // a fit's polynomial background cannot follow the steep rise
    } cases[] = {
        {"cut at the start", peak(1.24, 0, 0.5, 0, Background::Curved), {8.4, 13}, true, true},
        {"cut at the end", peak(0.9, 0, 0.3, 0, Background::Flat), {4.5, 9.6}, true, true},
        {"a smectite at the start", smectite, {}, true, true, 7.3, false},
        {"clean", peak(0.4, 0, 0.5, 0, Background::Curved), {}, false, false, 8.8},
        {"a shoulder", shoulder, {}, false, true, 8.8},
    };
    for (const auto& c : cases) {
        for (const unsigned seed : {0u, 5u}) {
            PeakShape shape = c.shape;
            shape.position = c.position;
            shape.noise_seed = seed;
            for (const WidthMethod& method : {WidthMethod{}, WidthMethod::fitted()}) {
                if (method.fits() && !c.fitted) {
                    continue;
                }
                const auto r = read_width(synthetic::make_pattern(shape), c.range, method);
                ASSERT_TRUE(r.ok()) << c.what << ": " << r.error();
                const std::string& quality = r->width.quality;
                SCOPED_TRACE(::testing::Message() << c.what << " " << method.name() << " seed "
                                                  << seed << ": " << quality);
                EXPECT_EQ(quality.find(kFlank) != std::string::npos, c.flank);
                EXPECT_EQ(r->width.holding.has_value(), c.flank);
                if (c.flank && r->width.holding) {
                    // Wider on the side cut, as wide on the other.
                    const PeakRange& held = *r->width.holding;
                    EXPECT_GT(c.range.lo - held.lo + held.hi - c.range.hi, 0.5);
                    EXPECT_LE(held.lo, c.range.lo);
                    EXPECT_GE(held.hi, c.range.hi);
                    EXPECT_NE(edge_advice(r->width).find(peak_range_text(*r->width.holding)),
                              std::string::npos);
                    const auto again = read_width(synthetic::make_pattern(shape), held, method);
                    ASSERT_TRUE(again.ok()) << again.error();
                    EXPECT_EQ(again->width.quality.find(kFlank), std::string::npos)
                        << peak_range_text(held) << ": " << again->width.quality;
                    EXPECT_NEAR(again->width.fwhm, shape.fwhm, 0.03 * shape.fwhm)
                        << peak_range_text(held);
                }
                if (method.fits()) {
                    EXPECT_EQ(quality.find(kResidual) != std::string::npos, c.residual);
                }
            }
        }
    }
}

// The figure's counts axis spans the range measured, not a steep rise beside it that would
// flatten a small peak, and the half-height crossings of a fit lie on the component drawn.
TEST(ProfileFit, FigureShowsTheRangeAndMarksTheProfileDrawn) {
    PeakShape shape = peak(0.4, 0, 0.5, 0, Background::Steep);
    shape.height = 300;
    shape.noise_seed = 2;
    const Pattern pattern = synthetic::make_pattern(shape);
    const PeakRange range{7.5, 10.5};
    const auto r = read_width(pattern, range, WidthMethod::fitted());
    ASSERT_TRUE(r.ok()) << r.error();
    const PeakView view{5, 11, false};
    const PeakPlot plot = lay_out_peak_plot(pattern, r->width, r->width.range_lo, r->width.range_hi,
                                            view, {0, 0, 100, 100}, &*r->fit);
    double highest = 0;
    for (std::size_t i = 0; i < pattern.two_theta.size(); ++i) {
        if (pattern.two_theta[i] >= range.lo && pattern.two_theta[i] <= range.hi) {
            highest = std::max(highest, pattern.counts[i]);
        }
    }
    EXPECT_LT(plot.count_hi, highest * 1.1);
    EXPECT_GT(synthetic::background_at(Background::Steep, view.lo), plot.count_hi);
    for (const PlotPoint& p : plot.trace) {
        EXPECT_TRUE(p.y >= 0 && p.y <= 100) << p.x << " " << p.y;
    }
    const auto& drawn = plot.components[r->fit->used];
    for (const PlotPoint& crossing : plot.crossings) {
        const auto after = std::find_if(drawn.begin() + 1, drawn.end(),
                                        [&](const PlotPoint& p) { return p.x >= crossing.x; });
        ASSERT_NE(after, drawn.end());
        const PlotPoint& before = *(after - 1);
        const double t = (crossing.x - before.x) / (after->x - before.x);
        EXPECT_NEAR(before.y + t * (after->y - before.y), crossing.y, 0.2) << crossing.x;
    }
}

TEST(ProfileFit, RefusesOptionsOutOfReach) {
    const Pattern pattern = synthetic::make_pattern({});
    EXPECT_FALSE(fit_profile(pattern, {}, {ProfileShape::pearson7, FitBackground::linear, 4}));
    EXPECT_FALSE(fit_profile(pattern, {}, {ProfileShape::pearson7, FitBackground::linear, 2, 3}));
    EXPECT_FALSE(fit_profile(synthetic::make_pattern({0.3, 8.8, 0}), {}, {}));
}

} // namespace
} // namespace teravine
