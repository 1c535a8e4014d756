// SPDX-License-Identifier: GPL-3.0-or-later
// The .IWL file: its headers byte for byte, its row widths, and its failures.
#include "lines/const_line_file.h"
#include "lines/const_lines.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace teravine {
namespace {

ConstLines computed(std::int16_t reich) {
    Calibration cal = make_calibration(reich);
    ConstLines lines;
    compute_const_n_lines(cal, lines);
    compute_const_s_lines(cal, lines);
    compute_const_fp_lines(cal, lines);
    return lines;
}

GridSwitches checked(bool n, bool s, bool fp) {
    return GridSwitches{true, n, s, fp}; // k is never exported
}

std::string file_text(const ConstLines& lines, GridSwitches checks, const std::string& name) {
    std::ostringstream out;
    write_const_line_file(out, lines, checks, name);
    return out.str();
}

const std::string kN =
    "N= 7  SA\tGly\tN= 10  SA\tGly\tN= 14  SA\tGly\tN= 20  SA\tGly\tN= 30  SA\tGly\t"
    "N= 40  SA\tGly\tN= 60  SA\tGly\tN= 80  SA\tGly\tN= 120  SA\tGly\tN= 200  SA\tGly\t";
const std::string kS =
    "%S=2% SA\tGly\t%S=4% SA\tGly\t%S=6% SA\tGly\t%S=8% SA\tGly\t%S=10% SA\tGly\t"
    "%S=14% SA\tGly\t";
const std::string kFp =
    "Nfp=70 SA\tGly\tNfp=50 SA\tGly\tNfp=30 SA\tGly\tNfp=25 SA\tGly\tNfp=20 SA\tGly\t"
    "Nfp=16 SA\tGly\tNfp=15 SA\tGly\tNfp=13 SA\tGly\tNfp=12 SA\tGly\tNfp=11 SA\tGly\t"
    "Nfp=10 SA\tGly\tNfp=09 SA\tGly\tNfp=08 SA\tGly\tNfp=07 SA\tGly\tNfp=05 SA\tGly\t";

TEST(ConstLineFile, HeadersAndRowsOfTheCheckedFamiliesInFileOrder) {
    const ConstLines lines = computed(1);
    const std::string preamble = "Constante propreties lines\r\nReichweite:   R0\r\n";
    const struct {
        GridSwitches checks;
        std::string header;
        std::size_t short_tabs, long_tabs; // rows 42..111 hold no Nfp points
    } cases[] = {{checked(true, true, true), kN + kS + kFp, 32, 62},
                 {checked(true, true, false), kN + kS, 32, 32},
                 {checked(true, false, true), kN + kFp, 20, 50},
                 {checked(false, false, false), "", 0, 0}};
    for (const auto& c : cases) {
        const std::string text = file_text(lines, c.checks, "R0");
        ASSERT_EQ(text.rfind(preamble + c.header + "\r\n", 0), 0u) << c.header;
        std::istringstream in(text);
        std::string row;
        for (int j = -2; std::getline(in, row); ++j) {
            ASSERT_EQ(row.back(), '\r') << "row " << j; // CR LF ends every line
            if (j >= 1) {
                EXPECT_EQ(static_cast<std::size_t>(std::count(row.begin(), row.end(), '\t')),
                          j <= 41 ? c.long_tabs : c.short_tabs)
                    << "row " << j;
            }
            EXPECT_LE(j, 111);
        }
    }
}

TEST(ConstLineFile, EachFamilyIsThatOfItsReichweite) {
    const ConstLines r0 = computed(1), r1 = computed(2), r3 = computed(3);
    for (const GridSwitches only :
         {checked(true, false, false), checked(false, true, false), checked(false, false, true)}) {
        const std::string text = file_text(r0, only, "R");
        EXPECT_NE(text, file_text(r1, only, "R"));
        EXPECT_NE(text, file_text(r3, only, "R"));
    }
}

TEST(ConstLineFile, ExportReplacesAFileOrDescribesWhyItCannot) {
    ScratchFolder folder;
    const ConstLines lines = computed(2);
    const auto path = folder.write("all.IWL", std::string(200000, 'x'));
    ASSERT_TRUE(export_const_lines(path, lines, checked(true, true, true), "R1").ok());
    EXPECT_EQ(ScratchFolder::read(path), file_text(lines, checked(true, true, true), "R1"));

    const auto missing = folder.file("missing/lines.IWL");
    const std::pair<std::string, std::string> failures[] = {
        {missing, "Cannot create the file \"" + missing + "\": No such file or directory"},
        {"/dev/full", "Writing the file \"/dev/full\" failed: No space left on device"}};
    for (const auto& [where, error] : failures) {
        const auto written = export_const_lines(where, lines, checked(true, true, true), "R1");
        ASSERT_FALSE(written.ok()) << where;
        EXPECT_NE(written.error().find(error), std::string::npos) << written.error();
        EXPECT_EQ(written.error().find('\n'), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
}

} // namespace
} // namespace teravine
