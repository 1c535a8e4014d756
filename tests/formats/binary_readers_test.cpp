// SPDX-License-Identifier: GPL-3.0-or-later
// The binary and zipped formats: what the test writes reads back scan by scan, with the
// radiation and counting the file states; real instruments' files read as their vendor's
// text export; damaged, lying and hostile files are refused with the file and reason.
#include "binary_writers.h"
#include "formats/anode.h"
#include "formats/read_pattern.h"
#include "formats/zip_archive.h"
#include "real_files.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <tuple>

namespace teravine {
namespace {

using binary::Radiation;
using binary::Range;

constexpr Radiation kCobalt{1.78897, 1.79285, 0.5, "Co"};

std::vector<Range> two_ranges() {
    Range first;
    first.start = 4;
    first.step = 0.015625;
    first.time = 2;
    for (int i = 0; i < 40; ++i) {
        first.counts.push_back(100 + 7 * i + (i % 3) * 1000);
    }
    Range second;
    second.start = 20.5;
    second.step = 0.03125;
    second.time = 0.5;
    for (int i = 0; i < 30; ++i) {
        second.counts.push_back(5000 - 11 * i);
    }
    return {first, second};
}

struct Written {
    const char* file;
    std::function<std::string(const std::vector<Range>&)> write;
    const char* format;
    Radiation radiation;          // what the file states
    bool states_alpha2_and_ratio; // whether the format has room for them
    CountUnits units = CountUnits::counts;
};

TEST(BinaryReaders, ReadBackEveryScanWithWhatTheFileStates) {
    ScratchFolder folder;
    const Radiation fe_by_name{0, 0, 0, "Fe"};
    const std::vector<Written> cases = {
        {"v1.raw", [](const auto& r) { return binary::raw_v1(r, kCobalt); }, "Bruker RAW v1",
         kCobalt, false},
        {"v2.raw", [](const auto& r) { return binary::raw_v2(r, kCobalt); }, "Bruker RAW v2",
         kCobalt, true},
        {"v3.raw", [](const auto& r) { return binary::raw_v3(r, kCobalt); }, "Bruker RAW v3",
         kCobalt, true},
        {"v4.raw", [](const auto& r) { return binary::raw_v4(r, kCobalt); }, "Bruker RAW v4",
         kCobalt, true},
        {"v4-wide.raw", [](const auto& r) { return binary::raw_v4(r, kCobalt, 8, true); },
         "Bruker RAW v4", kCobalt, true},
        {"v3-named.dat", [](const auto& r) { return binary::raw_v3(r, kCobalt); }, "Bruker RAW v3",
         kCobalt, true},
        {"a.brml", [](const auto& r) { return binary::brml(r, kCobalt); }, "Bruker BRML", kCobalt,
         true},
        {"fe.brml", [&](const auto& r) { return binary::brml(r, fe_by_name); }, "Bruker BRML",
         fe_by_name, false},
        {"a.rasx", [](const auto& r) { return binary::rasx(r, kCobalt); }, "Rigaku RASX", kCobalt,
         false},
        {"cps.rasx", [](const auto& r) { return binary::rasx(r, kCobalt, "cps"); }, "Rigaku RASX",
         kCobalt, false, CountUnits::per_second},
    };
    const auto ranges = two_ranges();
    for (const auto& c : cases) {
        const auto path = folder.write(c.file, c.write(ranges));
        const auto read = read_pattern_scans(path);
        ASSERT_TRUE(read.ok()) << c.file << ": " << read.error();
        EXPECT_EQ(read->format, c.format) << c.file;
        ASSERT_EQ(read->scans.size(), ranges.size()) << c.file;
        for (std::size_t s = 0; s < ranges.size(); ++s) {
            const Range& range = ranges[s];
            const Pattern& scan = read->scans[s];
            EXPECT_EQ(scan.name, c.file);
            ASSERT_EQ(scan.counts.size(), range.counts.size()) << c.file << " scan " << s;
            for (std::size_t i = 0; i < range.counts.size(); ++i) {
                const double two_theta = range.start + range.step * static_cast<double>(i);
                ASSERT_NEAR(scan.two_theta[i], two_theta, 1e-9) << c.file << " " << i;
                ASSERT_NEAR(scan.counts[i], range.counts[i], 1e-9 * range.counts[i])
                    << c.file << " " << i;
            }
            ASSERT_TRUE(scan.counting_time.has_value()) << c.file;
            EXPECT_NEAR(*scan.counting_time, range.time, 1e-6) << c.file;
            EXPECT_EQ(scan.units, c.units) << c.file;
            const auto lines = anode_lines(c.radiation.anode);
            const double alpha1 = c.radiation.alpha1 > 0 ? c.radiation.alpha1 : lines->alpha1;
            ASSERT_TRUE(scan.wavelength.has_value()) << c.file;
            EXPECT_NEAR(*scan.wavelength, alpha1, 1e-6) << c.file;
            EXPECT_EQ(scan.anode, c.radiation.anode) << c.file;
            if (c.states_alpha2_and_ratio) {
                ASSERT_TRUE(scan.alpha2 && scan.alpha2_ratio) << c.file;
                EXPECT_NEAR(*scan.alpha2, c.radiation.alpha2, 1e-6) << c.file;
                EXPECT_NEAR(*scan.alpha2_ratio, c.radiation.ratio, 1e-6) << c.file;
            }
        }
    }
}

TEST(BinaryReaders, ReadBackPhilipsScansWithTheirAnode) {
    ScratchFolder folder;
    Range range;
    for (int p = 100; p < 140; ++p) {
        range.counts.push_back(p * p / 100); // ⌊p²/100⌋, as the file packs them
    }
    for (const auto& [file, version, anode, symbol] :
         {std::tuple{"a.rd", 3, 2, "Fe"}, std::tuple{"a.sd", 5, 0, "Cu"},
          std::tuple{"other.rd", 3, 4, ""}}) {
        const auto read =
            read_pattern_file(folder.write(file, binary::philips_rd(range, version, anode)));
        ASSERT_TRUE(read.ok()) << read.error();
        ASSERT_EQ(read->counts, range.counts) << file;
        EXPECT_DOUBLE_EQ(read->two_theta.back(), range.start + 39 * range.step) << file;
        EXPECT_EQ(read->anode, symbol) << file;
        EXPECT_EQ(read->wavelength.has_value(), *symbol != '\0') << file;
    }
}

TEST(BinaryReaders, ReadOlderAndStillDetectorBrml) {
    ScratchFolder folder;
    // Without <DataViews>: 2θ after two columns as the first scan axis, counts last.
    std::string older = "<RawData><DataRoutes><DataRoute><ScanInformation><ScanAxes>"
                        "<ScanAxisInfo AxisId=\"TwoTheta\"/><ScanAxisInfo AxisId=\"Theta\"/>"
                        "</ScanAxes></ScanInformation>";
    // A still detector: one row, the channels' counts from the fourth value on.
    std::string still = "<RawData><DataRoutes><DataRoute><ScanInformation><ScaleAxes>"
                        "<ScaleAxisInfo AxisId=\"TwoTheta\"><Start>20</Start><Increment>0.5"
                        "</Increment></ScaleAxisInfo></ScaleAxes></ScanInformation><Datum>1,1,25";
    for (int i = 0; i < 12; ++i) {
        older += "<Datum>1,2," + std::to_string(10 + i) + "," + std::to_string(5 + i) + "," +
                 std::to_string(100 * i) + "</Datum>";
        still += "," + std::to_string(100 * i);
    }
    const std::string end = "</DataRoute></DataRoutes></RawData>";
    for (const auto& [file, xml, first] :
         {std::tuple{"older.brml", older + end, 10.0},
          std::tuple{"still.brml", still + "</Datum>" + end, 20.0}}) {
        const auto path = folder.write(file, binary::zip_of({{"Experiment0/RawData0.xml", xml}}));
        const auto read = read_pattern_file(path);
        ASSERT_TRUE(read.ok()) << read.error();
        ASSERT_EQ(read->counts.size(), 12u) << file;
        for (std::size_t i = 0; i < 12; ++i) {
            EXPECT_EQ(read->counts[i], 100.0 * i) << file;
        }
        EXPECT_DOUBLE_EQ(read->two_theta.front(), first) << file;
    }
}

TEST(BinaryReaders, StoppedMeasurementKeepsTheRangesItMeasured) {
    ScratchFolder folder;
    std::string bytes = binary::raw_v3(two_ranges(), kCobalt);
    binary::put_u32(bytes, 12, 5); // five ranges planned, two measured
    EXPECT_FALSE(read_pattern_scans(folder.write("done.raw", bytes)).ok());
    binary::put_u32(bytes, 8, 3); // aborted
    const auto read = read_pattern_scans(folder.write("aborted.raw", bytes));
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(read->scans.size(), 2u);
}

// The file's path in the messages of the tests below.
std::string named(const std::string& path) {
    return "\"" + path + "\"";
}

TEST(BinaryReaders, RefuseEveryTruncatedCopy) {
    ScratchFolder folder;
    std::vector<Range> one = {two_ranges()[0]};
    const std::vector<std::pair<const char*, std::string>> files = {
        {"v1.raw", binary::raw_v1(one, kCobalt)},   {"v2.raw", binary::raw_v2(one, kCobalt)},
        {"v3.raw", binary::raw_v3(one, kCobalt)},   {"v4.raw", binary::raw_v4(one, kCobalt, 8)},
        {"a.brml", binary::brml(one, kCobalt)},     {"a.rasx", binary::rasx(one, kCobalt)},
        {"a.rd", binary::philips_rd(one[0], 3, 0)},
    };
    for (const auto& [file, whole] : files) {
        ASSERT_TRUE(read_pattern_scans(folder.write(file, whole)).ok()) << file;
        // Every length inside the headers, then every fourth through the data.
        for (std::size_t length = 0; length < whole.size(); length += length < 800 ? 1 : 4) {
            const auto path = folder.write(file, whole.substr(0, length));
            const auto read = read_pattern_scans(path);
            ASSERT_FALSE(read.ok()) << file << " cut at " << length;
            ASSERT_NE(read.error().find(named(path)), std::string::npos) << read.error();
        }
    }
}

struct Lie {
    const char* file;
    std::function<void(std::string&)> damage;
    const char* reason;
};

TEST(BinaryReaders, RefuseHeadersThatLie) {
    ScratchFolder folder;
    std::vector<Range> one = {two_ranges()[0]};
    const std::string v1 = binary::raw_v1(one, kCobalt);
    const std::string v2 = binary::raw_v2(one, kCobalt);
    const std::string v3 = binary::raw_v3(one, kCobalt);
    const std::string v4 = binary::raw_v4(one, kCobalt);
    const std::string rd = binary::philips_rd(one[0], 5, 0);
    constexpr std::size_t v3_range = 712;
    constexpr std::size_t v4_range = 61 + 48 + 136;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::pair<std::string, Lie>> cases = {
        {v1,
         {"huge.raw", [](auto& b) { binary::put_u32(b, 4, 0xffffffff); },
          "truncated: range 1 ends before its 4294967295 counts"}},
        {v1,
         {"zero-step.raw", [](auto& b) { binary::put_f32(b, 12, 0); },
          "damaged: range 1 has a step of 0°"}},
        {v1,
         {"nan-start.raw", [&](auto& b) { binary::put_f32(b, 24, nan); },
          "range 1 starts at a 2θ that is not a number"}},
        {v2,
         {"short-header.raw", [](auto& b) { binary::put_u16(b, 256, 10); },
          "header of range 1 is 10 bytes long"}},
        {v2,
         {"more-ranges.raw", [](auto& b) { binary::put_u16(b, 4, 3); },
          "truncated: the header of range 2 ends early"}},
        {v3,
         {"huge.raw", [](auto& b) { binary::put_u32(b, v3_range + 4, 0xfffffff0); },
          "ends before its 4294967280 counts"}},
        {v3,
         {"backwards.raw", [](auto& b) { binary::put_f64(b, v3_range + 176, -0.02); },
          "has a step of -0.02°"}},
        {v3,
         {"supplement.raw", [](auto& b) { binary::put_u32(b, v3_range + 256, 0x7fffffff); },
          "the header of range 1 ends early"}},
        {v3,
         {"ranges.raw", [](auto& b) { binary::put_u32(b, 12, 0xffffffff); },
          "the header of range 2 ends early"}},
        {v3,
         {"beyond.raw", [](auto& b) { binary::put_f64(b, v3_range + 16, 179.9); },
          "2θ beyond 180° at point"}},
        {v4,
         {"segment.raw", [](auto& b) { binary::put_u32(b, 65, 4); },
          "segment of its header is 4 bytes long"}},
        {v4,
         {"segment-long.raw", [](auto& b) { binary::put_u32(b, 65, 0x7fffffff); },
          "its header ends inside a segment"}},
        {v4,
         {"extra.raw", [](auto& b) { binary::put_u32(b, v4_range + 140, 0xffffffff); },
          "the header of range 1 ends early"}},
        {v4,
         {"datum.raw", [](auto& b) { binary::put_u32(b, v4_range + 136, 3); },
          "data of 3 bytes a step"}},
        {v4,
         {"nan-step.raw", [&](auto& b) { binary::put_f64(b, v4_range + 80, nan); },
          "has a step of nan°"}},
        {v4,
         {"rocking.raw",
          [](auto& b) { binary::put_text(b, v4_range + 32, std::string("Rocking Curve", 14)); },
          "none of its ranges is a scan of 2θ"}},
        {rd, {"far.sd", [](auto& b) { binary::put_f64(b, 230, 1e300); }, "ends before its"}},
        {rd, {"still.sd", [](auto& b) { binary::put_f64(b, 214, 0); }, "is not a scan"}},
    };
    for (const auto& [whole, lie] : cases) {
        std::string bytes = whole;
        lie.damage(bytes);
        const auto path = folder.write(lie.file, bytes);
        const auto read = read_pattern_scans(path);
        ASSERT_FALSE(read.ok()) << lie.file;
        EXPECT_NE(read.error().find(named(path)), std::string::npos) << read.error();
        EXPECT_NE(read.error().find(lie.reason), std::string::npos)
            << lie.file << ": " << read.error();
    }
}

struct Hostile {
    const char* file;
    std::string content;
    const char* reason;
};

TEST(BinaryReaders, RefuseHostileArchives) {
    ScratchFolder folder;
    const Range range = two_ranges()[0];
    std::vector<std::pair<std::string, std::string>> many;
    for (int i = 0; i < 5000; ++i) {
        many.emplace_back("Data0/x" + std::to_string(i), "");
    }
    const std::string zeros(kMaxZipEntryBytes + 1, '\0');
    std::string deep = "<RawData>";
    for (int i = 0; i < 300; ++i) {
        deep += "<a>";
    }
    std::string crowded = "<RawData>";
    for (int i = 0; i < 4'000'001; ++i) {
        crowded += "<a/>";
    }
    // Markup the parser would build, hidden from a count of '<' behind an instruction
    // whose quote never closes.
    const std::string hidden = "<?x '?>" + crowded;
    // A still detector's one row of nine million empty values, and four rows as long.
    const std::string commas = "<RawData><DataRoutes><DataRoute><ScanInformation><ScaleAxes>"
                               "<ScaleAxisInfo><Start>5</Start><Increment>0.01</Increment>"
                               "</ScaleAxisInfo></ScaleAxes></ScanInformation><Datum>" +
                               std::string(9'000'000, ',') +
                               "</Datum></DataRoute></DataRoutes></RawData>";
    const std::string row(2'500'000, ',');
    std::string lines;
    for (int i = 0; i < 3'000'000; ++i) {
        lines += "5 1\n";
    }
    std::string rows = "<RawData><DataRoutes><DataRoute><ScanInformation><ScaleAxes>"
                       "<ScaleAxisInfo><Start>5</Start><Increment>0.01</Increment>"
                       "</ScaleAxisInfo></ScaleAxes></ScanInformation><Datum>" +
                       row + "</Datum></DataRoute></DataRoutes></RawData>";
    // A bomb whose headers claim 100 bytes: the read must stop at the limit all the same.
    std::string understated = binary::zip_of({{"Data0/Profile0.txt", zeros}});
    binary::put_u32(understated, 22, 100);
    binary::put_u32(understated, understated.rfind("PK\x01\x02") + 24, 100);
    const std::string profile = binary::rasx_profile(range);
    const std::string conditions = binary::rasx_conditions(range, kCobalt);
    const std::vector<Hostile> cases = {
        {"many.rasx", binary::zip_of(many), "holds 5000 entries, more than the 64"},
        {"bomb.rasx", binary::zip_of({{"Data0/Profile0.txt", zeros}}),
         "entry \"Data0/Profile0.txt\" unpacks to more than 256 MiB"},
        {"understated.rasx", understated, "entry \"Data0/Profile0.txt\""},
        {"bomb.brml", binary::zip_of({{"Experiment0/RawData0.xml", zeros}}),
         "unpacks to more than 256 MiB"},
        {"deep.brml", binary::zip_of({{"Experiment0/RawData0.xml", deep}}),
         "nests deeper than 64 levels"},
        {"crowded.brml", binary::zip_of({{"Experiment0/RawData0.xml", crowded}}),
         "more XML markup than any measurement"},
        {"hidden.brml", binary::zip_of({{"Experiment0/RawData0.xml", hidden}}),
         "more XML markup than any measurement"},
        {"commas.brml", binary::zip_of({{"Experiment0/RawData0.xml", commas}}),
         "more than 8000000 points together"},
        {"rows.brml",
         binary::zip_of({{"Experiment0/RawData0.xml", rows},
                         {"Experiment0/RawData1.xml", rows},
                         {"Experiment0/RawData2.xml", rows},
                         {"Experiment0/RawData3.xml", rows}}),
         "more than 8000000 points together"},
        {"profiles.rasx",
         binary::zip_of({{"Data0/Profile0.txt", lines},
                         {"Data1/Profile1.txt", lines},
                         {"Data2/Profile2.txt", lines}}),
         "more than 8000000 points together"},
        {"text.brml", "RawData0.xml, not an archive", "is not a zip archive"},
        {"raw-words.txt", "RAW counts follow\n8 1\n", "too few points: 1"},
        {"empty.rasx", binary::zip_of({{"root.xml", "<Root/>"}}), "no Data*/Profile*.txt"},
        {"empty.brml", binary::zip_of({{"Experiment0/DataContainer.xml", "<a/>"}}),
         "no RawData*.xml"},
        {"nodata.brml", binary::zip_of({{"Experiment0/RawData0.xml", "<RawData/>"}}),
         "has no <Datum> rows"},
        {"broken.rasx", binary::zip_of({{"Data0/Profile0.txt", profile + "12\tmany\n"}}),
         "line 41 is not 2θ, counts and attenuation"},
        {"omega.rasx",
         binary::zip_of({{"Data0/Profile0.txt", profile},
                         {"Data0/MesurementConditions0.xml",
                          "<MeasurementConditions><ScanInformation><AxisName>Omega</AxisName>"
                          "</ScanInformation></MeasurementConditions>"}}),
         "it scans Omega, not 2θ"},
        {"badxml.rasx",
         binary::zip_of({{"Data0/Profile0.txt", profile},
                         {"Data0/MesurementConditions0.xml", conditions.substr(0, 90)}}),
         "is not XML"},
    };
    for (const auto& c : cases) {
        const auto path = folder.write(c.file, c.content);
        const auto read = read_pattern_scans(path);
        ASSERT_FALSE(read.ok()) << c.file;
        EXPECT_NE(read.error().find(named(path)), std::string::npos) << read.error();
        EXPECT_NE(read.error().find(c.reason), std::string::npos) << c.file << ": " << read.error();
    }
}

TEST(ZipArchive, StopsAtTheTotalItMayUnpack) {
    const std::string piece(1000, 'x');
    const std::string bytes = binary::zip_of({{"a", piece}, {"b", piece}, {"c", piece}});
    const auto archive = ZipArchive::open(bytes, "The file \"z\"", 2500);
    ASSERT_TRUE(archive.ok()) << archive.error();
    EXPECT_EQ(archive->names(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(archive->read("a").value(), piece);
    EXPECT_EQ(archive->read("b", 999).error(),
              "The file \"z\" is not a pattern: its entry \"b\" unpacks to more than 999 bytes.");
    EXPECT_TRUE(archive->read("b").ok());
    const auto third = archive->read("c");
    ASSERT_FALSE(third.ok());
    EXPECT_NE(third.error().find("unpack to more than 2500 bytes together"), std::string::npos)
        << third.error();
}

TEST(BinaryReaders, ReadRealFilesAsTheirVendorsTextExport) {
    // A Bruker RAW v3 scan and DIFFRAC's own .uxd export of it: 2θ to the decimals the
    // export shows (three below 10°, two above), every count equal.
    const auto raw = read_pattern_file(real_file("BT86.raw"));
    ASSERT_TRUE(raw.ok()) << raw.error();
    EXPECT_EQ(raw->date, "03/04/10 20:59:14");
    std::istringstream uxd(real_text("BT86_.UXD"));
    std::string line;
    struct Exported {
        double two_theta;
        double counts;
        double shown_to; // half the last decimal the export shows
    };
    std::vector<Exported> exported;
    while (std::getline(uxd, line)) {
        std::istringstream row(line);
        double two_theta = 0;
        double counts = 0;
        if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0])) &&
            (row >> two_theta >> counts)) {
            const auto decimals = line.find_first_of(" \t") - line.find('.') - 1;
            exported.push_back({two_theta, counts, 0.5 * std::pow(10.0, -double(decimals))});
        }
    }
    ASSERT_EQ(raw->counts.size(), exported.size());
    for (std::size_t i = 0; i < exported.size(); ++i) {
        ASSERT_NEAR(raw->two_theta[i], exported[i].two_theta, exported[i].shown_to) << i;
        ASSERT_EQ(raw->counts[i], exported[i].counts) << i;
    }
    EXPECT_NEAR(*raw->wavelength, 1.5406, 1e-6); // _WL1
    EXPECT_NEAR(*raw->alpha2, 1.54439, 1e-6);    // _WL2
    EXPECT_NEAR(*raw->alpha2_ratio, 0.5, 1e-9);  // _WLRATIO
    EXPECT_NEAR(*raw->counting_time, 0.5, 1e-9); // _STEPTIME
    EXPECT_EQ(raw->anode, "Cu");

    // A Rigaku SmartLab .rasx: 2726 points from 10° by 0.04°, 1°/min (2.4 s a step).
    const auto rasx = read_pattern_file(real_file("TwoTheta_scan_powder.rasx"));
    ASSERT_TRUE(rasx.ok()) << rasx.error();
    ASSERT_EQ(rasx->counts.size(), 2726u);
    EXPECT_DOUBLE_EQ(rasx->two_theta.front(), 10);
    EXPECT_DOUBLE_EQ(rasx->two_theta.back(), 119);
    EXPECT_DOUBLE_EQ(rasx->counts.front(), 170.55354309082);
    EXPECT_NEAR(*rasx->wavelength, 1.540593, 1e-9);
    EXPECT_NEAR(*rasx->counting_time, 2.4, 1e-9);
    EXPECT_EQ(rasx->anode, "Cu");

    // A RAW4.00 file of a LynxEye scan, its counts scrambled by its publisher, 8 bytes a
    // step: its layout, not its counts, is what this checks.
    const auto raw4 = read_pattern_scans(real_file("TwoTheta_scan_scrambled.raw"));
    ASSERT_TRUE(raw4.ok()) << raw4.error();
    ASSERT_EQ(raw4->scans.size(), 1u);
    const Pattern& scan = raw4->scans[0];
    ASSERT_EQ(scan.counts.size(), 7134u);
    EXPECT_DOUBLE_EQ(scan.two_theta.front(), 10);
    EXPECT_NEAR(scan.two_theta[1] - scan.two_theta[0], 0.0105203, 1e-7);
    EXPECT_NEAR(scan.counts.front(), 283.7692, 1e-4);
    EXPECT_EQ(scan.scan, "Locked Coupled");
    EXPECT_EQ(scan.anode, "Cu");
}

} // namespace
} // namespace teravine
