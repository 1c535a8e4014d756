// SPDX-License-Identifier: GPL-3.0-or-later
// Stacks of known thickness simulated as patterns and recovered by the Fourier analysis of
// their 001: with and without an instrument and counting noise, the Stokes step alone,
// the hook effect of a shifted background and a truncated range, and what is refused.
// Known answers, not pinned numbers.
#include "thickness/layer_sequence.h"
#include "thickness/simulated_pattern.h"
#include "thickness/thickness_analysis.h"
#include "thickness/thickness_notes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace teravine {
namespace {

constexpr double kInstrument = 0.1; // °2θ

SimulationRequest stacks(double mean, double broadening, double counts, std::uint64_t seed) {
    SimulationRequest r;
    r.lo = 4;
    r.hi = 14;
    r.thickness = lognormal_of_mean(mean, 0.3);
    r.broadening = broadening;
    if (counts > 0) {
        r.top = counts;
        r.seed = seed;
    }
    return r;
}

// A mica standard: stacks too thick for the steps to see, on the same instrument.
SimulationRequest standard_for(SimulationRequest sample) {
    sample.thickness = {std::log(5000.0), 0};
    if (sample.seed) {
        *sample.seed += 1000;
    }
    return sample;
}

Pattern simulated(const SimulationRequest& r) {
    auto p = simulate_pattern(r);
    EXPECT_TRUE(p) << p.error();
    return p ? p.value() : Pattern{};
}

void expect_distribution(const ThicknessResult& r, const std::string& what) {
    const auto& p = r.distribution.fraction;
    EXPECT_TRUE(std::all_of(p.begin(), p.end(), [](double x) { return x >= 0; })) << what;
    EXPECT_NEAR(std::accumulate(p.begin(), p.end(), 0.0), 1.0, 1e-12) << what;
}

TEST(Thickness, RecoversTheMeanOfSimulatedStacks) {
    struct Case {
        double mean, broadening, counts;
    };
    // Exact intensities without an instrument, then an instrument of 0.1° removed by its
    // standard, with Poisson counts of a million at the top.
    for (const Case& c : {Case{3, 0, 0}, Case{10, 0, 0}, Case{30, 0, 0}, Case{3, kInstrument, 1e6},
                          Case{10, kInstrument, 1e6}, Case{30, kInstrument, 1e6}}) {
        const std::string what = "mean " + std::to_string(c.mean) + ", b " +
                                 std::to_string(c.broadening) + ", counts " +
                                 std::to_string(c.counts);
        const SimulationRequest request = stacks(c.mean, c.broadening, c.counts, 7);
        const Pattern sample = simulated(request);
        const Pattern standard = simulated(standard_for(request));
        const auto r = analyse_thickness(sample, c.broadening > 0 ? &standard : nullptr, {});
        ASSERT_TRUE(r) << what << ": " << r.error();
        EXPECT_NEAR(r->mean_layers, c.mean, 0.05 * c.mean) << what;
        EXPECT_LT(r->u_mean_layers, 0.02 * c.mean) << what;
        EXPECT_NEAR(r->spacing, 10.0, 0.051) << what;
        EXPECT_NEAR(r->distribution.mean(), c.mean, 0.1 * c.mean) << what;
        EXPECT_EQ(r->instrument_removed, c.broadening > 0) << what;
        EXPECT_EQ(r->hook_end, 0U) << what;
        expect_distribution(*r, what);
        // A clean pattern's mean moves little with the range (thin stacks most, whose tails
        // a narrower range cuts).
        const auto nearby = nearby_range_means(sample, c.broadening > 0 ? &standard : nullptr, {});
        ASSERT_EQ(nearby.size(), 2U) << what;
        for (const RangeMean& m : nearby) {
            EXPECT_NEAR(m.mean_layers, c.mean, 0.1 * c.mean) << what << ", " << m.range.lo;
        }
    }
}

TEST(Thickness, WithoutTheStandardTheInstrumentMakesStacksThinner) {
    const SimulationRequest request = stacks(30, kInstrument, 0, 0);
    const auto r = analyse_thickness(simulated(request), nullptr, {});
    ASSERT_TRUE(r) << r.error();
    EXPECT_LT(r->mean_layers, 0.95 * 30);
    EXPECT_FALSE(r->instrument_removed);
}

TEST(Thickness, StokesAloneGivesTheThinnestDistributionTheStepsAllow) {
    // A sample that is its own standard has no breadth of its own: its coefficients never
    // fall, and its stacks are as thick as the steps resolve.
    const Pattern standard = simulated(standard_for(stacks(10, kInstrument, 1e5, 3)));
    const auto r = analyse_thickness(standard, &standard, {});
    ASSERT_TRUE(r) << r.error();
    EXPECT_TRUE(r->unresolved);
    EXPECT_EQ(r->mean_layers, static_cast<double>(r->coefficients.size()));
    // All of it within the last few layers the steps resolve.
    const auto& p = r->distribution.fraction;
    const auto near_end = static_cast<std::ptrdiff_t>(0.8 * r->mean_layers);
    EXPECT_NEAR(std::accumulate(p.begin() + near_end, p.end(), 0.0), 1.0, 1e-6);
    EXPECT_LT(r->lognormal.beta2, 0.05);
    EXPECT_TRUE(std::isnan(r->u_mean_layers)); // a lower bound has no u
    EXPECT_TRUE(r->series_cut);
    EXPECT_GT(r->end_share, 0.99); // the last bars, told apart, hold them all
    EXPECT_GE(r->end_layers, static_cast<std::size_t>(near_end));
    expect_distribution(*r, "its own standard");
}

TEST(Thickness, TheHookEffectOfBackgroundAndTruncationIsCorrected) {
    struct Case {
        double mean, background_lo, background_hi;
        PeakRange range;
    };
    // A background under the whole pattern, flat or falling, and ranges that cut the
    // reflection's tails off closer to it (not for thick stacks, whose mean comes out a
    // few per cent high then: the instrument's tails are not quite removed).
    for (const Case& c : {Case{3, 2000, 2000, {}}, Case{10, 3000, 500, {}},
                          Case{30, 2000, 2000, {}}, Case{3, 500, 500, {6.5, 10.8}},
                          Case{10, 0, 0, {7.0, 11.0}}, Case{10, 500, 500, {7.5, 10.5}}}) {
        const std::string what = "mean " + std::to_string(c.mean) + ", background " +
                                 std::to_string(c.background_lo) + ", range " +
                                 std::to_string(c.range.lo) + "-" + std::to_string(c.range.hi);
        SimulationRequest request = stacks(c.mean, kInstrument, 1e6, 11);
        request.background_lo = c.background_lo;
        request.background_hi = c.background_hi;
        const Pattern standard = simulated(standard_for(request));
        const auto r = analyse_thickness(simulated(request), &standard, c.range);
        ASSERT_TRUE(r) << what << ": " << r.error();
        EXPECT_NEAR(r->mean_layers, c.mean, 0.05 * c.mean) << what;
    }
}

// Counts added to a pattern: the air's scatter at low angles, amplitude (6° / 2θ)⁴.
Pattern with_air_scatter(Pattern p, double amplitude) {
    for (std::size_t i = 0; i < p.counts.size(); ++i) {
        p.counts[i] = std::round(p.counts[i] + amplitude * std::pow(6 / p.two_theta[i], 4));
    }
    return p;
}

TEST(Thickness, RealPatternsTroublesAreMadeGoodAndSaid) {
    struct Case {
        double mean, air, shift; // counts of the air's scatter at 6°; the sample moved, °2θ
        bool hook, differs;
    };
    // A background that curves leaves a hook, which the correction straightens where the
    // initial slope alone is far off; one too slight for it is said by the distribution's
    // own mean, the true one between the two; a sample displaced in its holder is moved back.
    for (const Case& c : {Case{10, 1e5, 0, true, false}, Case{30, 2e4, 0, false, true},
                          Case{10, 0, -0.15, false, false}, Case{30, 0, 0.15, false, false},
                          Case{30, 0, -0.08, false, false}}) {
        const std::string what = "mean " + std::to_string(c.mean) + ", air " +
                                 std::to_string(c.air) + ", shift " + std::to_string(c.shift);
        const SimulationRequest request = stacks(c.mean, kInstrument, 1e6, 11);
        Pattern sample = with_air_scatter(simulated(request), c.air);
        for (double& t : sample.two_theta) {
            t += c.shift;
        }
        const Pattern standard = with_air_scatter(simulated(standard_for(request)), c.air);
        const auto r = analyse_thickness(sample, &standard, {});
        ASSERT_TRUE(r) << what << ": " << r.error();
        const double own = r->distribution.mean();
        if (c.differs) {
            EXPECT_GT(c.mean, std::min(own, r->mean_layers)) << what;
            EXPECT_LT(c.mean, std::max(own, r->mean_layers)) << what;
        } else {
            EXPECT_NEAR(r->mean_layers, c.mean, 0.05 * c.mean) << what;
        }
        EXPECT_NEAR(r->displacement, c.shift, 0.02) << what;
        EXPECT_EQ(r->hook_end > 0, c.hook) << what;
        if (c.hook) {
            EXPECT_GT(r->plain_mean_layers, 1.2 * c.mean) << what;
        }
        const auto notes = thickness_notes(*r);
        const auto says = [&](const char* words) {
            return std::any_of(notes.begin(), notes.end(), [&](const std::string& n) {
                return n.find(words) != std::string::npos;
            });
        };
        EXPECT_EQ(says("the hook correction"), c.hook) << what;
        EXPECT_EQ(says("displaced in its holder"), c.shift != 0) << what;
        EXPECT_EQ(says("distribution's own mean"), c.differs) << what;
    }
}

TEST(Thickness, StacksThickerThanTheStepsResolveGiveALowerBound) {
    struct Case {
        double mean, beta2, counts;
    };
    // Thick stacks over a mica on the same instrument: their coefficients hardly fall
    // before noise ends the series, and no mean is made of that.
    for (const Case& c : {Case{300, 0.3, 1e4}, Case{1000, 0.3, 1e6}, Case{5000, 0, 1e5}}) {
        const std::string what =
            "mean " + std::to_string(c.mean) + ", counts " + std::to_string(c.counts);
        SimulationRequest request = stacks(c.mean, kInstrument, c.counts, 21);
        request.thickness = lognormal_of_mean(c.mean, c.beta2);
        const Pattern standard = simulated(standard_for(request));
        const auto r = analyse_thickness(simulated(request), &standard, {});
        ASSERT_TRUE(r) << what << ": " << r.error();
        EXPECT_TRUE(r->unresolved) << what << ": " << r->mean_layers;
        EXPECT_TRUE(std::isnan(r->u_mean_layers)) << what;
        EXPECT_LE(r->mean_layers, c.mean) << what;
    }
}

TEST(Thickness, RefusesWhatItCannotRead) {
    const SimulationRequest request = stacks(10, kInstrument, 1e5, 5);
    const Pattern sample = simulated(request);
    Pattern flat = sample;
    std::fill(flat.counts.begin(), flat.counts.end(), 1000.0);
    Pattern narrow = simulated(standard_for(request));
    SimulationRequest coarse_request = standard_for(request);
    coarse_request.step = 0.05;
    Pattern cobalt = simulated(standard_for(request));
    cobalt.wavelength = 1.788965;
    SimulationRequest cobalt_request = request;
    cobalt_request.anode = *anode_lines("Co");
    Pattern unstated = simulated(cobalt_request); // a Co pattern read as Cu Kα
    unstated.wavelength.reset();
    unstated.alpha2.reset();
    unstated.anode.clear();
    struct Case {
        const Pattern* sample;
        const Pattern* standard;
        PeakRange range;
        const char* reason;
    };
    narrow.two_theta.resize(narrow.two_theta.size() / 2);
    narrow.counts.resize(narrow.two_theta.size());
    const Pattern coarse = simulated(coarse_request);
    for (const Case& c :
         {Case{&flat, nullptr, {}, "shows no peak within"},
          Case{&sample, &narrow, {}, "not the range 6.5°–11.5° the sample"},
          Case{&sample, &coarse, {}, "has steps of 0.05°, coarser than the sample's"},
          Case{&sample, &cobalt, {}, "states a wavelength of 1.789 Å"},
          Case{&sample, nullptr, {4.0, 14.0}, "reaches beyond one period"},
          Case{&sample, nullptr, {5.0, 6.5}, "rises towards the end of the range"},
          Case{&unstated, nullptr, {}, "under Co Kα would be d 10.0"}}) {
        const auto r = analyse_thickness(*c.sample, c.standard, c.range);
        ASSERT_FALSE(r) << c.reason;
        EXPECT_NE(r.error().find(c.reason), std::string::npos) << r.error();
    }
}

TEST(Thickness, BertautsRelationInvertsTheInterferenceWeights) {
    for (const Lognormal shape : {Lognormal{1.0, 0.3}, Lognormal{2.5, 0.1}, Lognormal{3.0, 0.6}}) {
        const ThicknessDistribution d = lognormal_distribution(shape);
        std::vector<double> a = interference_weights(d);
        const double w0 = a[0];
        for (double& x : a) {
            x /= w0;
        }
        EXPECT_NEAR(w0, d.mean(), 1e-9 * w0);
        const ThicknessDistribution back = distribution_from_coefficients(a);
        ASSERT_EQ(back.fraction.size(), d.fraction.size());
        for (std::size_t n = 0; n < d.fraction.size(); ++n) {
            EXPECT_NEAR(back.fraction[n], d.fraction[n], 1e-9) << "n " << n + 1;
        }
        const Lognormal fitted = fitted_lognormal(d);
        EXPECT_NEAR(fitted.alpha, shape.alpha, 0.05);
        EXPECT_NEAR(fitted.beta2, shape.beta2, 0.05);
    }
}

TEST(Simulation, LayersDiffractAtTheirSpacings) {
    struct Case {
        double smectite;
        Reichweite r;
        LayerKind kind;
        double spacing; // Å of the strongest reflection below 10° 2θ
    };
    // Thick stacks of one kind at their own spacing; 50 % smectite ordered R1 (rectorite)
    // at the 002 of its 26.9 Å superstructure.
    for (const Case& c : {Case{0, Reichweite::R0, LayerKind::smectite_glycolated, 10.0},
                          Case{1, Reichweite::R0, LayerKind::smectite_glycolated, 16.9},
                          Case{1, Reichweite::R0, LayerKind::smectite_air_dried, 12.5},
                          Case{0.5, Reichweite::R1, LayerKind::smectite_glycolated, 26.9 / 2}}) {
        SimulationRequest r;
        r.lo = 3;
        r.hi = 10;
        r.step = 0.01;
        r.smectite = c.smectite;
        r.reichweite = c.r;
        r.smectite_kind = c.kind;
        r.alpha2_ratio = 0;
        r.thickness = lognormal_of_mean(60, 0.1);
        const Pattern p = simulated(r);
        const auto top = std::max_element(p.counts.begin(), p.counts.end()) - p.counts.begin();
        const double expected = 360 / M_PI * std::asin(kCuKAlpha1 / (2 * c.spacing));
        EXPECT_NEAR(p.two_theta[static_cast<std::size_t>(top)], expected, 0.05) << c.spacing;
    }
}

TEST(Simulation, JunctionsKeepTheShareOfSmectite) {
    for (const Reichweite r : {Reichweite::R0, Reichweite::R1, Reichweite::R3}) {
        for (const double s : {0.1, 0.25}) {
            const auto chain = layer_sequence(s, r, LayerKind::smectite_glycolated);
            ASSERT_TRUE(chain) << chain.error();
            const std::size_t m = chain->states();
            double smectite = 0, total = 0;
            for (std::size_t a = 0; a < m; ++a) {
                double row = 0, into = 0; // the chain's rows sum to 1, and its shares stay
                for (std::size_t b = 0; b < m; ++b) {
                    row += chain->junction[a * m + b];
                    into += chain->share[b] * chain->junction[b * m + a];
                }
                EXPECT_NEAR(row, 1, 1e-12);
                EXPECT_NEAR(into, chain->share[a], 1e-12);
                total += chain->share[a];
                smectite += chain->kind[a] == LayerKind::illite ? 0 : chain->share[a];
            }
            EXPECT_NEAR(total, 1, 1e-12);
            EXPECT_NEAR(smectite, s, 1e-12);
        }
    }
    EXPECT_FALSE(layer_sequence(0.3, Reichweite::R3, LayerKind::smectite_glycolated));
    EXPECT_FALSE(layer_sequence(0.6, Reichweite::R1, LayerKind::smectite_glycolated));
}

TEST(Simulation, CountsAreDrawnAlikeForOneSeed) {
    SimulationRequest r = stacks(10, kInstrument, 1000, 9);
    const Pattern a = simulated(r), b = simulated(r);
    r.seed = 10;
    const Pattern c = simulated(r);
    EXPECT_EQ(a.counts, b.counts);
    EXPECT_NE(a.counts, c.counts);
    EXPECT_TRUE(std::all_of(a.counts.begin(), a.counts.end(),
                            [](double x) { return x == std::floor(x) && x >= 0; }));
}

} // namespace
} // namespace teravine
