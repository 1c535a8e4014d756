// SPDX-License-Identifier: GPL-3.0-or-later
// Pattern files written by the test read back to the same points, in every format;
// what cannot be measured is refused with the file and the reason named.
#include "formats/pattern_formats.h"
#include "formats/read_pattern.h"
#include "support/scratch_folder.h"
#include "synthetic_pattern.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace teravine {
namespace {

using synthetic::Format;

struct RoundTrip {
    const char* file;
    Format format;
    double wavelength;
};

TEST(PatternReaders, ReadBackTheirPoints) {
    ScratchFolder folder;
    synthetic::PeakShape shape;
    shape.noise_seed = 3;
    const Pattern written = synthetic::make_pattern(shape);
    const std::vector<RoundTrip> cases = {
        {"a.xy", Format::Xy, 0},
        {"a.csv", Format::SemicolonCsv, 0},
        {"a.txt", Format::TabDecimalComma, 0},
        {"a.dat", Format::CommaSeparated, 0},
        {"a.xrdml", Format::XrdmlCounts, 1.540598},
        {"b.xrdml", Format::XrdmlIntensities, 1.789010},
        {"xrdml-content.txt", Format::XrdmlCounts, 1.540598},
        {"a.uxd", Format::Uxd, 1.789010},
    };
    for (const auto& c : cases) {
        const auto path =
            folder.write(c.file, synthetic::file_text(written, c.format, c.wavelength));
        const auto read = read_pattern_file(path);
        ASSERT_TRUE(read.ok()) << c.file << ": " << read.error();
        EXPECT_EQ(read->name, c.file);
        ASSERT_EQ(read->two_theta.size(), written.two_theta.size()) << c.file;
        for (std::size_t i = 0; i < written.two_theta.size(); ++i) {
            ASSERT_NEAR(read->two_theta[i], written.two_theta[i], 1e-6) << c.file << " " << i;
            ASSERT_EQ(read->counts[i], written.counts[i]) << c.file << " " << i;
        }
        if (c.wavelength > 0) {
            ASSERT_TRUE(read->wavelength.has_value()) << c.file;
            EXPECT_NEAR(*read->wavelength, c.wavelength, 1e-6) << c.file;
        } else {
            EXPECT_FALSE(read->wavelength.has_value()) << c.file;
        }
    }
}

std::string points(const char* separator, int count, const char* extra = "") {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += std::to_string(8 + i) + separator + std::to_string(100 + i) + extra + "\n";
    }
    return text;
}

struct Refusal {
    const char* file;
    std::string content;
    const char* reason;
};

TEST(PatternReaders, RefuseWhatTheyCannotMeasure) {
    ScratchFolder folder;
    const std::string xml = "<?xml version=\"1.0\"?><xrdMeasurements><xrdMeasurement><scan>"
                            "<dataPoints><positions axis=\"2Theta\">";
    const std::vector<Refusal> cases = {
        {"empty.xy", "", "is empty"},
        {"binary.xy", std::string("8 1\n\0\x01\x02", 7), "it is not text"},
        {"header.xy", "angle counts\n# nothing else\n", "holds no points"},
        {"few.xy", points(" ", 9), "too few points: 9"},
        {"falling.xy", points(" ", 12) + "9.5 100\n", "not increasing at line 13"},
        {"same.csv", "8,1\n8,2\n" + points(",", 12), "not increasing at line 2"},
        {"nan.dat", points("\t", 12) + "30\tnan\n", "not a finite number at line 13"},
        {"broken.xy", points(" ", 12) + "oops\n" + points(" ", 2), "line 13 is not two numbers"},
        {"blank-comma.xy", "8,5 100\n8,6 100\n", "holds no points"},
        {"bad.xrdml", "<xrdMeasurements><scan>", "it is not XML"},
        {"noscan.xrdml", "<xrdMeasurements/>", "holds no XRDML scan"},
        {"nocounts.xrdml",
         xml + "</positions><counts>1 x 3</counts></dataPoints></scan>"
               "</xrdMeasurement></xrdMeasurements>",
         "no <intensities> or <counts>"},
        {"list.xrdml",
         xml + "<listPositions>1 2</listPositions></positions><counts>1 2 3"
               "</counts></dataPoints></scan></xrdMeasurement></xrdMeasurements>",
         "do not match"},
        {"noaxis.xrdml",
         xml + "</positions><counts>1 2 3</counts></dataPoints></scan>"
               "</xrdMeasurement></xrdMeasurements>",
         "no startPosition"},
        {"unknown.bin", "not a diffractogram at all", "is not in a format Teravine reads"},
    };
    for (const auto& c : cases) {
        const auto path = folder.write(c.file, c.content);
        const auto read = read_pattern_file(path);
        ASSERT_FALSE(read.ok()) << c.file;
        EXPECT_NE(read.error().find("\"" + path + "\""), std::string::npos) << read.error();
        EXPECT_NE(read.error().find(c.reason), std::string::npos) << c.file << ": " << read.error();
    }
    const auto huge = folder.file("huge.xy");
    { std::ofstream make(huge); }
    std::filesystem::resize_file(huge, (std::uintmax_t{64} << 20) + 1);
    const auto read = read_pattern_file(huge);
    ASSERT_FALSE(read.ok());
    EXPECT_NE(read.error().find("larger than 64 MiB"), std::string::npos) << read.error();
    EXPECT_FALSE(read_pattern_file(folder.file("missing.xy")).ok());
    EXPECT_FALSE(read_pattern_file(folder.path().string()).ok());
}

} // namespace
} // namespace teravine

namespace teravine {
namespace {

// The guide's table of formats is the readers' table: a row for each format, its
// description and its suffixes, whatever order the guide lists them in.
TEST(PatternReaders, GuideListsEveryFormatWithItsSuffixes) {
    const char* source = std::getenv("TERAVINE_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    std::ifstream guide(std::filesystem::path(source) / "docs" / "guide.md");
    ASSERT_TRUE(guide) << "docs/guide.md";
    std::vector<std::string> listed;
    std::string line;
    bool in_table = false;
    while (std::getline(guide, line)) {
        if (line == "| Format | Suffixes |") {
            in_table = true;
        } else if (in_table && line.empty()) {
            break;
        } else if (in_table && line != "| --- | --- |") {
            listed.push_back(line);
        }
    }
    std::vector<std::string> expected;
    for (const PatternFormat& format : pattern_formats()) {
        std::string suffixes;
        for (const std::string_view suffix : format.suffixes) {
            suffixes += (suffixes.empty() ? "`" : ", `") + std::string(suffix) + "`";
        }
        expected.push_back("| " + std::string(format.description) + " | " + suffixes + " |");
    }
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
}

} // namespace
} // namespace teravine
