// SPDX-License-Identifier: GPL-3.0-or-later
// Instrument profiles measured on synthetic standards of known width: one sharp peak
// read at half height or fitted, with and without its Kα2 line, and the peaks of a
// line-profile standard whose widths follow known Caglioti terms.
#include "formats/synthetic_pattern.h"
#include "standards/instrument_measure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace teravine {
namespace {

using synthetic::PeakShape;

TEST(InstrumentProfile, OnePeakGivesBackItsWidth) {
    struct Case {
        const char* what;
        bool doublet;
        bool fit;
    };
    // Half height keeps the doublet (a sample's reading does too), so it is read on a
    // peak without one; a fit takes the Kα1 width out of the doublet.
    for (const Case& c : {Case{"half height", false, false}, Case{"fit, Kα1 alone", false, true},
                          Case{"fit with Kα2", true, true}}) {
        PeakShape s{0.09, 8.86, 20000, 0.5, synthetic::Background::Flat, 0.005, 7.5, 10.5, 11};
        s.doublet = c.doublet;
        Pattern p = synthetic::make_pattern(s);
        p.wavelength = synthetic::kCuAlpha1;
        p.alpha2 = synthetic::kCuAlpha2;
        p.alpha2_ratio = c.doublet ? 0.5 : 0.0;
        InstrumentRequest request;
        request.method = c.fit ? WidthMethod::fitted() : WidthMethod{};
        const auto measured = measure_instrument(p, request);
        ASSERT_TRUE(measured) << c.what << ": " << measured.error();
        const InstrumentProfile& profile = measured->profile;
        EXPECT_GT(profile.u_b, 0) << c.what;
        EXPECT_NEAR(profile.b, 0.09, 2 * profile.u_b) << c.what << " u " << profile.u_b;
        EXPECT_NEAR(profile.angle, 8.86, 0.005) << c.what;
        EXPECT_EQ(profile.doublet_removed, c.fit) << c.what;
        EXPECT_EQ(profile.method,
                  c.fit ? std::string("fit:pseudo-voigt components=1 background=linear "
                                      "kalpha2=fitted alpha2_ratio=") +
                              (c.doublet ? "0.5" : "0")
                        : "half-height kalpha2=kept")
            << c.what;
        EXPECT_EQ(profile.setup.wavelength, synthetic::kCuAlpha1) << c.what;
    }
}

// FWHM² = U tan²θ + V tanθ + W of a typical laboratory diffractometer.
constexpr double kU = 0.004, kV = -0.002, kW = 0.0045;

double caglioti(double two_theta) {
    const double t = std::tan(two_theta / 2 * std::numbers::pi / 180);
    return std::sqrt(kU * t * t + kV * t + kW);
}

// A line-profile standard: peaks at these angles, each of the width the terms give,
// with its Kα2 line, counted with Poisson noise.
Pattern line_profile_standard(const std::vector<double>& angles) {
    Pattern p;
    p.name = "lab6";
    p.wavelength = synthetic::kCuAlpha1;
    p.alpha2 = synthetic::kCuAlpha2;
    p.alpha2_ratio = 0.5;
    std::mt19937 random(5);
    for (double x = 15; x <= 95; x += 0.005) {
        double counts = 150;
        for (const double angle : angles) {
            PeakShape s;
            s.fwhm = caglioti(angle);
            counts += 20000 * (synthetic::profile_at(s, x, angle) +
                               0.5 * synthetic::profile_at(s, x, synthetic::alpha2_of(angle)));
        }
        p.two_theta.push_back(x);
        p.counts.push_back(static_cast<double>(std::poisson_distribution<long>(counts)(random)));
    }
    return p;
}

TEST(InstrumentProfile, SeveralPeaksCarryTheWidthToThe001) {
    const std::vector<double> angles{21.4, 30.4, 37.4, 43.5, 53.9, 63.2, 75.9, 88.3};
    InstrumentRequest request;
    request.method = WidthMethod::fitted();
    for (const double angle : angles) {
        request.peaks.push_back({angle - 0.8, angle + 1.0});
    }
    const auto measured = measure_instrument(line_profile_standard(angles), request);
    ASSERT_TRUE(measured) << measured.error();
    const InstrumentProfile& p = measured->profile;
    ASSERT_TRUE(p.caglioti);
    EXPECT_EQ(p.angle, kIllite001Angle);
    EXPECT_GT(p.u_b, 0);
    EXPECT_NEAR(p.b, caglioti(kIllite001Angle), 2 * p.u_b);
    EXPECT_NEAR(p.caglioti->w, kW, 3 * p.caglioti->u_w);
    EXPECT_EQ(p.caglioti->peaks.size(), angles.size());
}

TEST(Caglioti, ExactTermsAndRefusals) {
    std::vector<CagliotiPeak> peaks;
    for (const double angle : {20.0, 40.0, 60.0, 80.0}) {
        peaks.push_back({angle, caglioti(angle), 0.001});
    }
    const auto fit = fit_caglioti(peaks);
    ASSERT_TRUE(fit) << fit.error();
    EXPECT_NEAR(fit->u, kU, 1e-9);
    EXPECT_NEAR(fit->v, kV, 1e-9);
    EXPECT_NEAR(fit->w, kW, 1e-9);
    const auto at = caglioti_width(*fit, 8.84);
    ASSERT_TRUE(at);
    EXPECT_NEAR(at->fwhm, caglioti(8.84), 1e-9);
    // 8.84° lies below the peaks: extrapolated, and the profile's JSON says so.
    for (const auto& [angle, outside] : {std::pair{8.84, true}, {20.0, false}, {80.5, true}}) {
        EXPECT_EQ(caglioti_extrapolated(*fit, angle), outside) << angle;
        InstrumentProfile p;
        p.angle = angle;
        p.caglioti = *fit;
        EXPECT_NE(instrument_profile_json(p).find(outside ? "\"extrapolated\": true"
                                                          : "\"extrapolated\": false"),
                  std::string::npos);
        ASSERT_TRUE(parse_instrument_profile(instrument_profile_json(p), "P"));
    }
    EXPECT_EQ(caglioti_span_text(*fit), "20.0\u2013"
                                        "80.0\u00b0");

    const std::vector<CagliotiPeak> two(peaks.begin(), peaks.begin() + 2);
    const std::vector<CagliotiPeak> one_angle{
        {30, 0.1, 0.001}, {30, 0.11, 0.001}, {50, 0.12, 0.001}};
    const std::vector<CagliotiPeak> not_finite{
        {30, 0.1, 0.001}, {40, NAN, 0.001}, {50, 0.12, 0.001}};
    for (const auto& bad : {two, one_angle, not_finite}) {
        EXPECT_FALSE(fit_caglioti(bad));
    }
    // Widths rising fast from almost nothing: the square turns negative at the 001.
    const auto falling =
        fit_caglioti({{20, 0.0084, 0.001}, {40, 0.0544, 0.001}, {60, 0.0843, 0.001}});
    ASSERT_TRUE(falling);
    EXPECT_FALSE(caglioti_width(*falling, 8.84));
}

} // namespace
} // namespace teravine
