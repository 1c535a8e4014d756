// SPDX-License-Identifier: GPL-3.0-or-later
// The measuring dialog's thickness of the air-dried pattern: the standard's pattern found
// beside the profile gives what the analysis gives with it; a file of another SHA-256, and a
// standard that does not cover the range, give no distribution and say why.
#include "app/measured_pair.h"
#include "app/profile_thickness.h"
#include "support/scratch_folder.h"
#include "support/scripted_services.h"
#include "text/sha256.h"
#include "thickness/simulated_pattern.h"

#include <gtest/gtest.h>

#include <sstream>

namespace teravine {
namespace {

// Two columns, 2θ and counts, as a diffractometer's text export writes them; `shift` moves
// the pattern along 2θ.
std::string xy_text(const SimulationRequest& request, double shift = 0) {
    const auto pattern = simulate_pattern(request);
    EXPECT_TRUE(pattern) << pattern.error();
    std::ostringstream out;
    out.precision(10);
    for (std::size_t i = 0; pattern && i < pattern->two_theta.size(); ++i) {
        out << pattern->two_theta[i] + shift << ' ' << pattern->counts[i] << '\n';
    }
    return out.str();
}

SimulationRequest on_instrument(double mean, double lo, double hi, std::uint64_t seed) {
    SimulationRequest r;
    r.lo = lo;
    r.hi = hi;
    r.thickness = lognormal_of_mean(mean, 0.3);
    r.broadening = 0.1;
    r.top = 1e5;
    r.seed = seed;
    return r;
}

TEST(ProfileThickness, TheStandardFoundIsAnalysedAnOtherIsRefusedWithTheReason) {
    ScratchFolder folder;
    const std::string sample = folder.write("sample.xy", xy_text(on_instrument(10, 4, 14, 1)));
    const std::string mica_text = xy_text(on_instrument(5000, 4, 14, 2));
    const std::string mica = folder.write("mica.xy", mica_text);
    // A line-profile standard measured at high angles only.
    const std::string high = folder.write("lab6.xy", xy_text(on_instrument(5000, 20, 40, 3)));
    std::filesystem::create_directory(folder.path() / "other");
    const std::string changed = folder.write("other/mica.xy", "# edited\n" + mica_text);
    const auto digest = [](const std::string& path) { return sha256_of_file(path).value(); };

    const struct Case {
        std::string standard, sha256, profile_source, pointed;
        const char* says; // in the problem; none: a distribution
        bool asks;        // for the standard's pattern
    } cases[] = {
        {"mica.xy", digest(mica), folder.file("profile.json"), "", nullptr, false},
        {"mica.xy", digest(mica), folder.file("other/profile.json"), "",
         "is not the pattern the instrument profile was made from: its SHA-256 differs", true},
        {"mica.xy", digest(mica), folder.file("profile.json"), changed, nullptr, false},
        {"lab6.xy", digest(high), high, "", "covers 20°–40°, not the range 6.5°–11.5°", false},
        {"mica.xy", digest(mica), folder.file("elsewhere/profile.json"), "",
         "is neither beside the profile nor beside the session", true},
        {"mica.xy", "", folder.file("profile.json"), "", "does not record its standard's", false},
    };
    const auto expected = analyse_thickness(*read_pattern_file(sample),
                                            &read_pattern_file(mica).value(), PeakRange{});
    ASSERT_TRUE(expected) << expected.error();
    for (const Case& c : cases) {
        LabCalibration lab;
        lab.profile = InstrumentProfile{};
        lab.profile->standard = c.standard;
        lab.profile->sha256 = c.sha256;
        lab.profile_source = c.profile_source;
        ScriptedServices services;
        MeasureSession session(services, &lab);
        session.open(PatternSide::AirDried, sample);
        ProfileThickness thickness(&lab);
        thickness.point_to(c.pointed);
        auto request = thickness.request(session);
        ASSERT_EQ(request.has_value(), !c.sha256.empty()) << c.standard;
        if (request) {
            EXPECT_TRUE(thickness.analysing());
            EXPECT_FALSE(thickness.request(session)); // nothing changed since
            ASSERT_TRUE(thickness.take(ProfileThickness::analyse(*request)));
        }
        const std::string& problem = thickness.problem();
        if (c.says == nullptr) {
            EXPECT_TRUE(problem.empty()) << problem;
            ASSERT_TRUE(thickness.result());
            EXPECT_EQ(thickness.result()->mean_layers, expected->mean_layers);
            EXPECT_EQ(thickness.n_profile(), static_cast<float>(expected->mean_layers));
        } else {
            EXPECT_NE(problem.find(c.says), std::string::npos) << problem;
            EXPECT_FALSE(thickness.result());
            EXPECT_FALSE(thickness.n_profile());
        }
        EXPECT_EQ(thickness.asks_for_standard(), c.asks) << problem;
        EXPECT_EQ(thickness.ask_unprompted(), c.asks); // once only
        EXPECT_FALSE(thickness.ask_unprompted());
    }
}

// Measure Folder's pairs: the standard's pattern found once in the folder, each air-dried
// pattern takes its N (profile), and one the analysis refuses (a reflection far from 10 Å)
// keeps its widths and says why it has none.
TEST(ProfileThickness, EachPairOfAFolderTakesItsNProfileOrSaysWhyNot) {
    ScratchFolder folder;
    const std::string mica = folder.write("mica.xy", xy_text(on_instrument(5000, 4, 14, 2)));
    const std::string illite = folder.write("a.xy", xy_text(on_instrument(10, 4, 14, 1)));
    const std::string moved = folder.write("b.xy", xy_text(on_instrument(10, 4, 14, 1), -1.4));
    LabCalibration lab;
    lab.profile = InstrumentProfile{};
    lab.profile->standard = "mica.xy";
    lab.profile->sha256 = sha256_of_file(mica).value();
    lab.profile_source = folder.file("elsewhere/profile.json");
    PairMeasuring how;
    find_pair_standard(how, lab, "", folder.path().string());
    ASSERT_TRUE(how.standard) << how.standard_problem;
    for (const auto& [ad, has_n, says] :
         {std::tuple{illite, true, ""}, std::tuple{moved, false, "to be its 001"}}) {
        const PairMeasurement measured = measure_pair({"pair", ad, illite}, how);
        ASSERT_TRUE(measured.sample) << ad;
        EXPECT_EQ(measured.sample->n_profile.has_value(), has_n) << ad;
        EXPECT_NE(measured.n_profile_problem.find(says), std::string::npos)
            << measured.n_profile_problem;
        EXPECT_EQ(measured.n_profile_problem.empty(), has_n);
    }
}

} // namespace
} // namespace teravine
