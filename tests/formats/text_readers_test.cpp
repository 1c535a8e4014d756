// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument text formats written by the test read back to their points, scans and
// stated facts; damaged files of each are refused with the file and the reason named.
#include "formats/read_pattern.h"
#include "formats/scan_text.h"
#include "real_files.h"
#include "support/scratch_folder.h"
#include "text_writers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace teravine {
namespace {

std::vector<Pattern> three_scans() {
    std::vector<Pattern> scans;
    for (int s = 0; s < 3; ++s) {
        synthetic::PeakShape shape;
        shape.noise_seed = 7 + static_cast<unsigned>(s);
        shape.from = 3.0 + s;
        shape.to = 13.0 + s;
        shape.step = s == 0 ? 0.01 : 0.02;
        scans.push_back(synthetic::make_pattern(shape));
    }
    return scans;
}

struct Written {
    const char* file;
    std::string text;
    const char* format;
    std::size_t scans;
    std::optional<double> counting_time; // of the first scan
    std::vector<CountUnits> units;       // of each scan
    bool ratio;                          // whether Kα2 and their ratio are stated
};

TEST(TextReaders, ReadBackScansPointsAndFacts) {
    ScratchFolder folder;
    const auto scans = three_scans();
    const std::vector<Pattern> one = {scans[0]};
    const std::vector<Pattern> two = {scans[0], scans[1]};
    const double co = 1.789010;
    using U = CountUnits;
    const std::vector<Written> cases = {
        {"a.ras",
         writers::ras(scans, co),
         "Rigaku RAS",
         3,
         0.5,
         {U::counts, U::counts, U::counts},
         false},
        {"a.asc",
         writers::asc(two, co),
         "Rigaku ASC",
         2,
         2.5,
         {U::per_second, U::per_second},
         false},
        {"two.uxd", writers::uxd(two, co), "UXD", 2, 2.0, {U::counts, U::per_second}, true},
        {"multi.xrdml",
         writers::xrdml(scans, co),
         "XRDML",
         3,
         1.5,
         {U::counts, U::per_second, U::per_second},
         true},
        {"a.udf", writers::udf(scans[0], co), "Philips UDF", 1, 5.0, {U::counts}, true},
        {"a.cpi",
         writers::cpi(scans[0], co),
         "Sietronics CPI",
         1,
         std::nullopt,
         {U::counts},
         false},
        {"std.gsa",
         writers::gsas(two, writers::GsasLayout::Std),
         "GSAS",
         2,
         std::nullopt,
         {U::counts, U::counts},
         false},
        {"esd.gsas",
         writers::gsas(one, writers::GsasLayout::Esd),
         "GSAS",
         1,
         std::nullopt,
         {U::counts},
         false},
        {"a.fxye",
         writers::gsas(two, writers::GsasLayout::Fxye),
         "GSAS",
         2,
         std::nullopt,
         {U::counts, U::counts},
         false},
        // The content decides, whatever the name says.
        {"ras-content.txt", writers::ras(one, co), "Rigaku RAS", 1, 0.5, {U::counts}, false},
        {"asc-content.dat", writers::asc(one, co), "Rigaku ASC", 1, 2.5, {U::per_second}, false},
        {"gsas-content.dat",
         writers::gsas(one, writers::GsasLayout::Std),
         "GSAS",
         1,
         std::nullopt,
         {U::counts},
         false},
        {"uxd-content", writers::uxd(one, co), "UXD", 1, 2.0, {U::counts}, true},
    };
    for (const auto& c : cases) {
        const auto path = folder.write(c.file, c.text);
        const auto read = read_pattern_scans(path);
        ASSERT_TRUE(read.ok()) << c.file << ": " << read.error();
        EXPECT_EQ(read->format, c.format) << c.file;
        ASSERT_EQ(read->scans.size(), c.scans) << c.file;
        const bool gsas = std::string(c.format) == "GSAS";
        for (std::size_t s = 0; s < c.scans; ++s) {
            const Pattern& got = read->scans[s];
            const Pattern& want = scans[s];
            EXPECT_EQ(got.name, c.file);
            ASSERT_EQ(got.two_theta.size(), want.two_theta.size()) << c.file << " scan " << s;
            for (std::size_t i = 0; i < want.two_theta.size(); ++i) {
                ASSERT_NEAR(got.two_theta[i], want.two_theta[i], 1e-4) << c.file << " " << i;
                ASSERT_EQ(got.counts[i], want.counts[i]) << c.file << " " << s << " " << i;
            }
            EXPECT_EQ(got.units, c.units[s]) << c.file << " scan " << s;
            if (gsas) {
                EXPECT_FALSE(got.wavelength.has_value()) << c.file;
                continue;
            }
            ASSERT_TRUE(got.wavelength.has_value()) << c.file;
            EXPECT_NEAR(*got.wavelength, co, 1e-5) << c.file;
            EXPECT_EQ(got.anode, "Co") << c.file;
            EXPECT_EQ(got.alpha2_ratio.has_value(), c.ratio) << c.file;
        }
        const auto& first = read->scans.front();
        ASSERT_EQ(first.counting_time.has_value(), c.counting_time.has_value()) << c.file;
        if (c.counting_time) {
            EXPECT_NEAR(*first.counting_time, *c.counting_time, 1e-9) << c.file;
        }
    }
}

struct Damaged {
    const char* file;
    std::string content;
    const char* reason;
};

std::string counts_lines(int n, const char* separator = "\n") {
    std::string text;
    for (int i = 0; i < n; ++i) {
        text += std::to_string(100 + i) + separator;
    }
    return text;
}

TEST(TextReaders, RefuseDamagedFilesWithTheirReason) {
    ScratchFolder folder;
    const auto scans = three_scans();
    const std::string ras = writers::ras({scans[0]}, 1.54);
    const std::string asc = writers::asc({scans[0]}, 1.54);
    const std::string head = "<?xml version=\"1.0\"?><xrdMeasurements><xrdMeasurement><scan>"
                             "<dataPoints><positions axis=\"2Theta\"><startPosition>5"
                             "</startPosition><endPosition>6</endPosition></positions>";
    std::string nested = "<xrdMeasurements>";
    for (int i = 0; i < 200; ++i) {
        nested += "<a>";
    }
    for (int i = 0; i < 200; ++i) {
        nested += "</a>";
    }
    nested += "</xrdMeasurements>";
    std::string crowded = "<xrdMeasurements>";
    for (int i = 0; i < 1'100'000; ++i) {
        crowded += "<a/>";
    }
    crowded += "</xrdMeasurements>";
    const std::vector<Damaged> cases = {
        {"cut.ras", ras.substr(0, ras.size() / 2), "no *RAS_INT_END"},
        {"row.ras", "*RAS_HEADER_START\n*RAS_HEADER_END\n*RAS_INT_START\n8 1 1\nx y\n",
         "line 5 is not 2θ"},
        {"noblock.ras", "*RAS_DATA_START\n*RAS_DATA_END\n", "no *RAS_INT_START"},
        {"lying.asc",
         asc.substr(0, asc.find("*COUNT")) + "*COUNT = 5000\n" + counts_lines(1001, ", ") +
             "\n*END\n",
         "states 5000 counts"},
        {"huge.asc", "*BEGIN\n*START = 5\n*STOP = 6\n*STEP = 0.01\n*COUNT = 1e15\n1, 2\n*END\n",
         "states 1000000000000000 counts"},
        {"lammps.asc", "LAMMPS (", "outside a group"},
        {"open.asc", "*START = 5\n*STOP = 6\n*STEP = 0.1\n*BEGIN\n*COUNT = 11\n" + counts_lines(11),
         "has no *END"},
        {"zero.uxd", "_2THETA=5\n_STEPSIZE=0\n_COUNTS\n" + counts_lines(20), "positive number"},
        {"down.uxd", "_START=30\n_STEPSIZE=-0.02\n_COUNTS\n" + counts_lines(20), "positive number"},
        {"down.asc",
         "*BEGIN\n*START = 30\n*STOP = 29.62\n*STEP = -0.02\n*COUNT = 20\n" +
             counts_lines(20, ", ") + "\n*END\n",
         "positive number"},
        {"stop.asc",
         "*BEGIN\n*START = 5\n*STOP = 60\n*STEP = 0.02\n*COUNT = 20\n" + counts_lines(20, ", ") +
             "\n*END\n",
         "from 5° to 60° at 0.02°, 2751 steps, but holds 20"},
        {"nan.uxd", "_WL1=nan\n_START=5\n_STEPSIZE=0.02\n_COUNTS\n" + counts_lines(20),
         "Kα1 wavelength of nan Å"},
        {"minus.uxd", "_WL1=-1\n_START=5\n_STEPSIZE=0.02\n_COUNTS\n" + counts_lines(20),
         "Kα1 wavelength of -1 Å"},
        {"far.uxd", "_WL2=1e300\n_START=5\n_STEPSIZE=0.02\n_COUNTS\n" + counts_lines(20),
         "Kα2 wavelength of 1e+300 Å"},
        {"nostart.uxd", "_STEPSIZE=0.02\n_COUNTS\n" + counts_lines(20), "no _START"},
        {"odd.uxd", "_STEPSIZE=0.02\n_2THETACOUNTS\n5 1\n6\n", "not pairs"},
        {"omega.uxd", "_DRIVE='OMEGA'\n_START=5\n_STEPSIZE=0.02\n_COUNTS\n" + counts_lines(20),
         "none of its ranges scans 2θ"},
        {"steps.uxd", "_START=5\n_STEPSIZE=0.02\n_STEPCOUNT=50\n_COUNTS\n" + counts_lines(20),
         "states 50 steps"},
        {"lying.udf", "DataAngleRange, 5, 50,/\nScanStepSize, 0.01,/\nRawScan\n1, 2, 3/\n",
         "4501 steps"},
        {"norawscan.udf", "DataAngleRange, 5, 50,/\nScanStepSize, 0.01,/\n", "no RawScan"},
        {"zero.cpi",
         "SIETRONICS XRD SCAN\n5\n6\n0\nCu\n1.54\nd\n1\nc\nSCANDATA\n" + counts_lines(12),
         "positive number"},
        {"short.cpi", "SIETRONICS XRD SCAN\n5\n", "header ends early"},
        {"huge.gsa", "t\nBANK 1 99999999 10 CONST 500 2 0 0 STD\n 1   100 1   100\n",
         "states 99999999 points"},
        {"nan.gsa", "t\nBANK 1 nan 10 CONST 500 2 0 0 STD\n 1 100\n", "does not state its points"},
        {"tof.gsa", "t\nBANK 1 4 1 RALF 1000 32 1000 0.0005 ALT\n   1000     100      10\n",
         "time-of-flight"},
        {"letters.gsa", "t\nBANK 1 10 1 CONST 500 2 0 0 STD\n 1 100 1 1x0\n",
         "record 1 is not fields of STD"},
        {"nested.xrdml", nested, "nests deeper than 64"},
        {"crowded.xrdml", crowded, "more XML markup than any measurement"},
        {"factors.xrdml",
         head + "<beamAttenuationFactors>1 2</beamAttenuationFactors><counts>1 2 "
                "3</counts></dataPoints></scan></xrdMeasurement></xrdMeasurements>",
         "attenuation factors that do not match"},
        {"times.xrdml",
         head + "<countingTimes>1 2</countingTimes><counts>1 2 "
                "3</counts></dataPoints></scan></xrdMeasurement></xrdMeasurements>",
         "counting times that do not match"},
        {"fixed.xrdml",
         head.substr(0, head.find("<endPosition>")) +
             "<endPosition>5</endPosition></positions><counts>" + counts_lines(12, " ") +
             "</counts></dataPoints></scan></xrdMeasurement></xrdMeasurements>",
         "none of its scans moves 2θ"},
        {"binary.ras", std::string("*RAS_DATA_START\0\1", 17), "it is not text"},
    };
    for (const auto& c : cases) {
        const auto path = folder.write(c.file, c.content);
        const auto begun = std::chrono::steady_clock::now();
        const auto read = read_pattern_scans(path);
        const auto took = std::chrono::steady_clock::now() - begun;
        ASSERT_FALSE(read.ok()) << c.file;
        EXPECT_EQ(read.error().rfind("The file \"" + path + "\"", 0), 0u) << read.error();
        EXPECT_NE(read.error().find(c.reason), std::string::npos) << c.file << ": " << read.error();
        EXPECT_LT(took, std::chrono::seconds(2)) << c.file;
    }
}

TEST(TextReaders, NameTheAnodeHoweverTheFileSpellsIt) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"Cu", "Cu"},     {"'CO'", "Co"},
        {"\"Fe\"", "Fe"}, {"Cu K-Alpha", "Cu"},
        {"29", "Cu"},     {"42", "Mo"},
        {"Copper", "Cu"}, {"molybdenum", "Mo"},
        {"Silver", "Ag"}, {"Cobalt tube", "Co"},
        {"W", ""},        {"Cux", ""},
        {"", ""},         {"28", ""},
    };
    for (const auto& [text, symbol] : cases) {
        EXPECT_EQ(anode_named(text), symbol) << text;
    }
}

// A file that names its anode and states no wavelength is measured at that anode's lines.
TEST(TextReaders, ANamedAnodeWithoutWavelengthsGivesItsLines) {
    ScratchFolder folder;
    const std::string scan = "_START=5\n_STEPSIZE=0.02\n_COUNTS\n" + counts_lines(20);
    const std::vector<std::tuple<const char*, std::string, double>> cases = {
        {"co.uxd", "_ANODE=Co\n" + scan, 1.78901},
        {"stated.uxd", "_ANODE=Co\n_WL1=1.6\n" + scan, 1.6},
        {"none.uxd", scan, 0},
    };
    for (const auto& [file, text, alpha1] : cases) {
        const auto read = read_pattern_file(folder.write(file, text));
        ASSERT_TRUE(read.ok()) << file << ": " << read.error();
        EXPECT_NEAR(read->wavelength.value_or(0), alpha1, 1e-4) << file;
    }
}

TEST(TextReaders, SplitLinesAtEveryLineEnd) {
    TextLines lines("a\r\nb\rc\n\nd");
    std::vector<std::string> got;
    while (const auto line = lines.next()) {
        got.emplace_back(*line);
    }
    EXPECT_EQ(got, (std::vector<std::string>{"a", "b", "c", "", "d"}));
    EXPECT_EQ(lines.number(), 5u);
}

struct RealFile {
    const char* file;
    const char* format;
    std::size_t points;
    double first, last; // 2θ
    double first_counts, last_counts;
    std::optional<double> wavelength, counting_time;
    const char* anode;
};

TEST(TextReaders, ReadRealFilesAsTheirSoftwareWroteThem) {
    const std::vector<RealFile> cases = {
        {"BT86_.UXD", "UXD", 2374, 3.0, 40.0, 187, 269, 1.5406, 0.5, "Cu"},
        {"xrdml_empyrean.xrdml", "XRDML", 196, 30.05, 41.75, 8, 6, 1.540598, 0.44, "Cu"},
        {"gsas_garnet.gsas", "GSAS", 2679, 24.0, 157.9, 162, 135, std::nullopt, std::nullopt, ""},
    };
    ScratchFolder folder;
    for (const auto& c : cases) {
        const auto read = read_pattern_scans(unpacked_real_file(folder, c.file));
        ASSERT_TRUE(read.ok()) << read.error();
        EXPECT_EQ(read->format, c.format);
        ASSERT_EQ(read->scans.size(), 1u) << c.file;
        const Pattern& p = read->scans.front();
        ASSERT_EQ(p.two_theta.size(), c.points) << c.file;
        EXPECT_NEAR(p.two_theta.front(), c.first, 1e-9) << c.file;
        EXPECT_NEAR(p.two_theta.back(), c.last, 1e-9) << c.file;
        EXPECT_EQ(p.counts.front(), c.first_counts) << c.file;
        EXPECT_EQ(p.counts.back(), c.last_counts) << c.file;
        EXPECT_EQ(p.wavelength, c.wavelength) << c.file;
        EXPECT_EQ(p.counting_time, c.counting_time) << c.file;
        EXPECT_EQ(p.anode, c.anode) << c.file;
        EXPECT_EQ(p.units, CountUnits::counts) << c.file;
    }
    // The setup the XRDML states, for telling a standard's from a sample's.
    const auto xrdml = read_pattern_file(unpacked_real_file(folder, "xrdml_empyrean.xrdml"));
    ASSERT_TRUE(xrdml.ok()) << xrdml.error();
    EXPECT_EQ(xrdml->goniometer_radius, 240.0);
    EXPECT_EQ(xrdml->divergence_slit, "Fixed slit 1/32°");
    EXPECT_EQ(xrdml->receiving_slit, "Parallel plate collimator slit");
    EXPECT_EQ(xrdml->date, "2016-11-03T11:08:45+01:00");
}

TEST(TextReaders, SeveralScansNeedAChoice) {
    ScratchFolder folder;
    const auto path = folder.write("two.ras", writers::ras(three_scans(), 1.54));
    PatternChoice none; // the command line's words for the choice
    none.how_to_choose = "choose one with --scan N";
    const auto unchosen = read_pattern_file(path, none);
    ASSERT_FALSE(unchosen.ok());
    EXPECT_NE(unchosen.error().find("holds 3 scans; choose one with --scan N"), std::string::npos)
        << unchosen.error();
    const auto chosen = read_pattern_file(path, PatternChoice{2, std::nullopt});
    ASSERT_TRUE(chosen.ok()) << chosen.error();
    EXPECT_EQ(chosen->two_theta.front(), 4.0);
}

} // namespace
} // namespace teravine
