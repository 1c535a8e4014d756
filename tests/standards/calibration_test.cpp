// SPDX-License-Identifier: GPL-3.0-or-later
// The CIS regression against a line known beforehand, its uncertainty written out here
// from the textbook formulas, the zones at their limits and the limits that judge each
// index, the method a calibration keeps, the two JSON files read back, and what the guide
// says of the width the diagram takes and of its sources.
#include "standards/calibration_method.h"
#include "standards/cis_calibration.h"
#include "standards/instrument_profile.h"
#include "standards/student_t.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace teravine {
namespace {

// Five standards on cis = 0.05 + 0.9 · fwhm, scattered by a known pattern.
std::vector<CisStandard> five_standards(double scatter) {
    const double widths[] = {0.25, 0.32, 0.41, 0.55, 0.70};
    const double offsets[] = {1, -1, 0.5, -0.5, 0};
    std::vector<CisStandard> out;
    for (int i = 0; i < 5; ++i) {
        out.push_back({"S" + std::to_string(i), widths[i], 0.005,
                       0.05 + 0.9 * widths[i] + scatter * offsets[i]});
    }
    return out;
}

TEST(CisFit, GivesBackTheGeneratingLine) {
    const auto exact = fit_cis(five_standards(0), CisIndex::kubler, "half-height");
    ASSERT_TRUE(exact) << exact.error();
    EXPECT_NEAR(exact->intercept, 0.05, 1e-12);
    EXPECT_NEAR(exact->slope, 0.9, 1e-12);
    EXPECT_NEAR(exact->r, 1, 1e-12);
    EXPECT_NEAR(exact->s, 0, 1e-9);

    const auto noisy = fit_cis(five_standards(0.01), CisIndex::kubler, "half-height");
    ASSERT_TRUE(noisy);
    // The offsets sum to zero and are not correlated with the widths' order only in
    // part: the line moves, but within its own u.
    EXPECT_NEAR(noisy->intercept, 0.05, 2 * noisy->u_intercept);
    EXPECT_NEAR(noisy->slope, 0.9, 2 * noisy->u_slope);
    double sum = 0;
    for (int i = 0; i < 5; ++i) {
        const auto& s = noisy->standards[i];
        const double residual = s.cis - noisy->intercept - noisy->slope * s.fwhm;
        EXPECT_NEAR(noisy->residuals[i], residual, 1e-12);
        // Leave one out by fitting the other four afresh.
        auto others = noisy->standards;
        others.erase(others.begin() + i);
        const auto without = fit_cis(others, CisIndex::kubler, "half-height");
        ASSERT_TRUE(without);
        EXPECT_NEAR(noisy->loo_residuals[i], s.cis - without->intercept - without->slope * s.fwhm,
                    1e-12);
        sum += residual * residual;
    }
    EXPECT_NEAR(noisy->s, std::sqrt(sum / 3), 1e-12);
}

TEST(CisFit, ApplyFollowsThePredictionInterval) {
    const auto c = fit_cis(five_standards(0.01), CisIndex::kubler, "half-height");
    ASSERT_TRUE(c);
    // Written out: x̄ and Sxx of the widths above, the residual error from the residuals.
    const double x[] = {0.25, 0.32, 0.41, 0.55, 0.70};
    double mean = 0, sxx = 0;
    for (double v : x) {
        mean += v / 5;
    }
    for (double v : x) {
        sxx += (v - mean) * (v - mean);
    }
    for (const double fwhm : {0.2, 0.45, 0.9}) {
        const double u = 0.01;
        const CisValue v = apply_cis(*c, fwhm, u, default_zone_limits());
        const double expected_u =
            std::sqrt(c->s * c->s * (1 + 0.2 + (fwhm - mean) * (fwhm - mean) / sxx) +
                      c->slope * c->slope * u * u);
        EXPECT_NEAR(v.ki_cis, c->intercept + c->slope * fwhm, 1e-12);
        EXPECT_NEAR(v.u_ki_cis, expected_u, 1e-12);
    }
}

TEST(CisFit, Refusals) {
    struct Case {
        std::vector<CisStandard> standards;
        const char* words;
    };
    // More standards than a calibration's reader takes back: refused before it is written.
    std::vector<CisStandard> thousands;
    for (int i = 0; i < 10000; ++i) {
        thousands.push_back({"s" + std::to_string(i), 0.2 + i * 1e-4, 0.001, 0.2 + i * 1e-4});
    }
    const Case cases[] = {
        {thousands, "at most 1000 standards"},
        {{{"a", 0.3, 0, 0.3}, {"b", 0.4, 0, 0.4}}, "at least three"},
        {{{"a", 0.3, 0, 0.3}, {"b", 0.3, 0, 0.4}, {"c", 0.3, 0, 0.5}}, "same measured width"},
        {{{"a", 0.3, 0, 0.3}, {"b", 0.3, 0, 0.4}, {"c", 0.5, 0, 0.5}}, "two values"},
        {{{"a", 0.3, 0, 0.3}, {"b", NAN, 0, 0.4}, {"c", 0.5, 0, 0.5}}, "\"b\""},
    };
    for (const Case& c : cases) {
        const auto fit = fit_cis(c.standards, CisIndex::kubler, "half-height");
        ASSERT_FALSE(fit);
        EXPECT_NE(fit.error().find(c.words), std::string::npos) << fit.error();
    }
}

TEST(Zones, ChangeExactlyAtTheLimits) {
    struct Case {
        const char* scheme;
        double lower, upper;
    };
    for (const Case& c :
         {Case{"2015", 0.32, 0.52}, Case{"1994", 0.25, 0.42}, Case{"0.3:0.45", 0.3, 0.45}}) {
        const auto limits = parse_zone_limits(c.scheme);
        ASSERT_TRUE(limits) << c.scheme;
        EXPECT_EQ(zone_of(c.lower - 1e-4, *limits), "epizone") << c.scheme;
        EXPECT_EQ(zone_of(c.lower, *limits), "anchizone") << c.scheme;
        EXPECT_EQ(zone_of(c.upper, *limits), "anchizone") << c.scheme;
        EXPECT_EQ(zone_of(c.upper + 1e-4, *limits), "diagenetic") << c.scheme;
    }
    EXPECT_EQ(limits_text(default_zone_limits()), "anchizone 0.32\u20130.52 (2015)");
    EXPECT_EQ(limits_text(*parse_zone_limits("0.315:0.5")), "anchizone 0.315\u20130.50 (own)");
    for (const char* bad : {"2016", "0.5:0.3", "0:0.3", "0.3", "a:b", "0.3:inf"}) {
        EXPECT_FALSE(parse_zone_limits(bad)) << bad;
    }
    // The Kübler-index limits never judge an Árkai value: none by default, and the two
    // published schemes refused.
    const auto scheme = [](CisIndex index, const char* text) -> std::string {
        const auto limits = parse_zone_limits_for(index, text);
        return !limits ? "refused" : limits->has_value() ? (*limits)->scheme : "none";
    };
    EXPECT_EQ(scheme(CisIndex::kubler, ""), "2015");
    EXPECT_EQ(scheme(CisIndex::kubler, "1994"), "1994");
    EXPECT_EQ(scheme(CisIndex::arkai, ""), "none");
    EXPECT_EQ(scheme(CisIndex::arkai, "2015"), "refused");
    EXPECT_EQ(scheme(CisIndex::arkai, "1994"), "refused");
    EXPECT_EQ(scheme(CisIndex::arkai, "0.26:0.33"), "own");
    EXPECT_FALSE(judging_limits(CisIndex::arkai, default_zone_limits()));
    EXPECT_TRUE(judging_limits(CisIndex::arkai, parse_zone_limits("0.26:0.33").value()));
    // Within u of a limit, the limit is named; u spanning the anchizone names both.
    const ZoneLimits z = default_zone_limits();
    EXPECT_EQ(near_limits(0.33, 0.02, z), "0.32");
    EXPECT_EQ(near_limits(0.51, 0.015, z), "0.52");
    EXPECT_EQ(near_limits(0.42, 0.11, z), "0.32;0.52");
    EXPECT_EQ(near_limits(0.42, 0.05, z), "");
}

TEST(CisFit, ArkaiValuesAndTheirInterval) {
    const auto arkai = fit_cis(five_standards(0.01), CisIndex::arkai, "half-height");
    ASSERT_TRUE(arkai);
    EXPECT_EQ(cis_column(CisIndex::arkai), "ai_cis");
    EXPECT_EQ(cis_u_column(CisIndex::kubler), "u_ki_cis");
    EXPECT_EQ(apply_cis(*arkai, 0.3, 0, default_zone_limits()).zone, "");
    EXPECT_EQ(apply_cis(*arkai, 0.3, 0, parse_zone_limits("0.2:0.3").value()).zone, "diagenetic");
    const CisValue near = apply_cis(*arkai, 0.3, 0.05, parse_zone_limits("0.3:0.4").value());
    EXPECT_EQ(near.near_limit, "0.30") << near.ki_cis << " ± " << near.u_ki_cis;
    EXPECT_EQ(cis_degrees_of_freedom(*arkai), 3);
    EXPECT_NEAR(cis_t95(*arkai), 3.182446, 1e-5);
    // Student's t, two-sided 95 %, from the published tables.
    for (const auto& [df, t] : {std::pair{1, 12.7062},
                                {2, 4.3027},
                                {4, 2.7764},
                                {7, 2.3646},
                                {30, 2.0423},
                                {998, 1.9623}}) {
        EXPECT_NEAR(student_t_quantile(0.95, df), t, 1e-4) << df;
    }
    EXPECT_NEAR(student_t_quantile(0.99, 10), 3.1693, 1e-4);
    EXPECT_TRUE(std::isnan(student_t_quantile(0.95, 0)));
}

TEST(CalibrationMethod, FullNamesAndWhatDiffers) {
    FitOptions two;
    two.shape = ProfileShape::split_pearson7;
    two.components = 2;
    two.use = 1;
    EXPECT_EQ(full_method_name(WidthMethod{}, {6.5, 11.5}),
              "half-height kalpha2=kept range=6.5:11.5");
    const std::string fitted = full_method_name(WidthMethod::fitted(two), {11.8, 13.2});
    EXPECT_EQ(fitted, "fit:split-pearson7 components=2 use=1 background=linear kalpha2=fitted "
                      "range=11.8:13.2");
    FitOptions one;
    one.shape = ProfileShape::split_pearson7;
    const std::string single = full_method_name(WidthMethod::fitted(one), {11.8, 13.2});
    const std::string half_ratio = full_method_name(WidthMethod::fitted(one), {11.8, 13.2}, 0.5);
    EXPECT_EQ(half_ratio, "fit:split-pearson7 components=1 background=linear kalpha2=fitted "
                          "alpha2_ratio=0.5 range=11.8:13.2");
    using Names = std::vector<std::string>;
    struct Case {
        std::string calibration, measured;
        Names differences;
    };
    const Case cases[] = {
        {single, single, {}},
        {fitted, single, {"components"}},
        {single, full_method_name(WidthMethod::fitted(one), {6.5, 11.5}), {"range"}},
        {single, full_method_name(WidthMethod::fitted(one), {11.8, 13.15 + 0.05}), {}},
        {"half-height", full_method_name(WidthMethod{}, {6.5, 11.5}), {}}, // an older file
        {"fit:split-pearson7", "fit:split-pearson7:1/2", {}},
        {"fit:pseudo-voigt", single, {"method"}},
        {half_ratio,
         full_method_name(WidthMethod::fitted(one), {11.8, 13.2}, 0.0),
         {"alpha2_ratio"}},
        {single, half_ratio, {}}, // stated before the ratio was
    };
    for (const Case& c : cases) {
        EXPECT_EQ(method_differences(c.calibration, c.measured), c.differences) << c.calibration;
    }
    EXPECT_EQ(outside_cis_guidelines(fitted), "2 components");
    EXPECT_EQ(outside_cis_guidelines("fit:pseudo-voigt"), "a symmetric profile");
    EXPECT_FALSE(outside_cis_guidelines(single));
    EXPECT_FALSE(outside_cis_guidelines("half-height kalpha2=kept range=6.5:11.5"));
}

TEST(Certified, PublishedValues) {
    EXPECT_EQ(certified_value("SW1-1992", CisIndex::kubler), 0.630);
    EXPECT_EQ(certified_value("sw6-2012", CisIndex::arkai), 0.264);
    EXPECT_FALSE(certified_value("SW1-2012", CisIndex::arkai));
    EXPECT_FALSE(certified_value("SW9-2012", CisIndex::kubler));
}

TEST(Json, RoundTripsAndRefusals) {
    const auto c = fit_cis(five_standards(0.01), CisIndex::arkai, "fit:pseudo-voigt");
    ASSERT_TRUE(c);
    const auto back = parse_cis_calibration(cis_calibration_json(*c), "C");
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->standards, c->standards);
    EXPECT_EQ(back->index, CisIndex::arkai);
    EXPECT_EQ(back->slope, c->slope);
    EXPECT_EQ(back->method, "fit:pseudo-voigt");

    InstrumentProfile p;
    p.b = 0.0712;
    p.u_b = 0.0013;
    p.angle = 8.84;
    p.standard = "mica.xrdml";
    p.sha256 = std::string(64, 'a');
    p.method = "half-height";
    p.setup.wavelength = 1.540598;
    p.setup.goniometer_radius = 240;
    p.setup.divergence_slit = "0.25";
    p.caglioti = CagliotiFit{0.01,
                             -0.002,
                             0.004,
                             1e-3,
                             2e-4,
                             1e-4,
                             {{28.4, 0.07}, {47.3, 0.08}},
                             {1, 0, 0, 0, 1, 0, 0, 0, 1}};
    const auto profile = parse_instrument_profile(instrument_profile_json(p), "P");
    ASSERT_TRUE(profile) << profile.error();
    EXPECT_EQ(*profile, p);

    std::string json = instrument_profile_json(p);
    struct Bad {
        std::string from, to;
        const char* words;
    };
    const Bad bads[] = {
        {"\"version\": 1", "\"version\": 2", "version 2"},
        {"\"b\": 0.0712", "\"b\": -0.1", "negative"},
        {"\"b\": 0.0712", "\"b\": \"x\"", "\"b\""},
        {"teravine-instrument", "other", "format"},
        {"{", "[", "not JSON"},
    };
    for (const Bad& bad : bads) {
        std::string text = json;
        text.replace(text.find(bad.from), bad.from.size(), bad.to);
        const auto refused = parse_instrument_profile(text, "P");
        ASSERT_FALSE(refused) << bad.to;
        EXPECT_NE(refused.error().find(bad.words), std::string::npos) << refused.error();
    }
    std::string altered = cis_calibration_json(*c);
    altered.replace(altered.find("\"slope\": "), 9, "\"slope\": 1");
    EXPECT_FALSE(parse_cis_calibration(altered, "C"));
}

TEST(InstrumentProfile, MismatchesName) {
    InstrumentProfile p;
    p.method = "fit:pseudo-voigt";
    p.setup.wavelength = 1.540598;
    p.setup.divergence_slit = "1/4";
    StatedSetup same;
    same.wavelength = 1.5406;
    same.divergence_slit = "1/4 ";
    StatedSetup other_slit = same;
    other_slit.divergence_slit = "1/2";
    StatedSetup cobalt;
    cobalt.wavelength = 1.78897;
    struct Case {
        std::string method;
        StatedSetup setup;
        std::vector<std::string> reasons;
    };
    const Case cases[] = {
        {"fit:pseudo-voigt", same, {}},
        {"fit:pseudo-voigt:2/3", StatedSetup{}, {}},
        {"half-height", same, {"instrument-method"}},
        {"fit:pearson7", other_slit, {"instrument-method", "instrument-setup"}},
        {"fit:pseudo-voigt", cobalt, {"instrument-setup"}},
        {full_method_name(WidthMethod::fitted(), {6.5, 11.5}, 0.5), same, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(instrument_mismatches(p, c.method, c.setup), c.reasons) << c.method;
    }
    // A profile in full is held to all of it but the range, its standard's peak being its own.
    p.method = method_in_full(WidthMethod::fitted(), 0.5);
    EXPECT_TRUE(
        instrument_mismatches(p, full_method_name(WidthMethod::fitted(), {6.5, 11.5}, 0.5), same)
            .empty());
    EXPECT_EQ(
        instrument_mismatches(p, full_method_name(WidthMethod::fitted(), {6.5, 11.5}, 0.0), same),
        std::vector<std::string>{"instrument-method"});
    EXPECT_EQ(setup_differences(p.setup, cobalt), std::vector<std::string>{"wavelength"});
}

// The guide names one width for the diagram and for the Kübler index, says what u is, and
// cites the sources the calibrations rest on, each with where it was published.
TEST(Guide, StatesTheWidthTakenAndCitesItsSources) {
    const char* source = std::getenv("TERAVINE_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    std::ifstream file(std::filesystem::path(source) / "docs" / "guide.md");
    ASSERT_TRUE(file) << "docs/guide.md";
    std::ostringstream read;
    read << file.rdbuf();
    // Lines joined, as the guide wraps its sentences anywhere.
    const std::string guide = std::regex_replace(read.str(), std::regex("\\s+"), " ");
    const auto at = guide.find("## References");
    ASSERT_NE(at, std::string::npos);
    const std::string references = guide.substr(at);
    for (const char* said :
         {"Both are the **full width at half maximum** (FWHM)", "it is not the integral breadth",
          "**1σ**", "**n − 2 degrees of freedom**", "an **extrapolation**"}) {
        EXPECT_NE(guide.find(said), std::string::npos) << said;
    }
    EXPECT_EQ(guide.find("integral (or full) widths"), std::string::npos);
    for (const char* cited :
         {"Warr, L.N. (2018) A new collection of clay mineral 'Crystallinity' Index Standards",
          "*Clay Minerals* 53, 339–350, doi:10.1180/clm.2018.42",
          "Árkai, P. (1991) Chlorite crystallinity", "*Journal of Metamorphic Geology* 9, 723–734",
          "Kisch, H.J. (1991) Illite crystallinity",
          "Caglioti, G., Paoletti, A. & Ricci, F.P. (1958)", "for Gaussian line shapes",
          "Kisch, H.J., Árkai, P. & Brime, C. (2004)"}) {
        EXPECT_NE(references.find(cited), std::string::npos) << cited;
    }
}

} // namespace
} // namespace teravine
