// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines/const_line_file.h"
#include "lines/const_lines.h"
#include "text/number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace teravine {
namespace {

namespace fs = std::filesystem;

GridSwitches checked(bool n, bool s, bool fp) {
    GridSwitches checks;
    checks.k = true; // never exported
    checks.n = n;
    checks.s = s;
    checks.fp = fp;
    return checks;
}

ConstLines computed(std::int16_t reich = 1) {
    Calibration cal = make_calibration(reich);
    ConstLines lines;
    compute_const_n_lines(cal, lines);
    compute_const_s_lines(cal, lines);
    compute_const_fp_lines(cal, lines);
    return lines;
}

std::string file_text(const ConstLines& lines, GridSwitches checks, const std::string& name) {
    std::ostringstream out;
    write_const_line_file(out, lines, checks, name);
    return out.str();
}

// Lines split at CR LF; fails the test on a bare LF or CR.
std::vector<std::string> split_crlf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "last line without CR LF";
        if (end == std::string::npos) {
            break;
        }
        const std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

std::size_t tabs(const std::string& s) {
    return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\t'));
}

const std::string kNHeader =
    "N= 7  SA\tGly\tN= 10  SA\tGly\tN= 14  SA\tGly\tN= 20  SA\tGly\tN= 30  SA\tGly\t"
    "N= 40  SA\tGly\tN= 60  SA\tGly\tN= 80  SA\tGly\tN= 120  SA\tGly\tN= 200  SA\tGly\t";
const std::string kSHeader = "%S=2% SA\tGly\t%S=4% SA\tGly\t%S=6% SA\tGly\t%S=8% SA\tGly\t"
                             "%S=10% SA\tGly\t%S=14% SA\tGly\t";
const std::string kFpHeader =
    "Nfp=70 SA\tGly\tNfp=50 SA\tGly\tNfp=30 SA\tGly\tNfp=25 SA\tGly\tNfp=20 SA\tGly\t"
    "Nfp=16 SA\tGly\tNfp=15 SA\tGly\tNfp=13 SA\tGly\tNfp=12 SA\tGly\tNfp=11 SA\tGly\t"
    "Nfp=10 SA\tGly\tNfp=09 SA\tGly\tNfp=08 SA\tGly\tNfp=07 SA\tGly\tNfp=05 SA\tGly\t";

TEST(ConstLineFile, AllFamiliesInFileOrder) {
    const std::vector<std::string> rows =
        split_crlf(file_text(computed(), checked(true, true, true), "R0"));
    ASSERT_EQ(rows.size(), 114U);
    EXPECT_EQ(rows[2], kNHeader + kSHeader + kFpHeader);
    for (std::size_t j = 1; j <= 111; ++j) {
        EXPECT_EQ(tabs(rows[2 + j]), j <= 41 ? 62U : 32U) << "row " << j;
    }
    // N and %S without Nfp: every row the same width.
    const std::vector<std::string> ns =
        split_crlf(file_text(computed(), checked(true, true, false), "R0"));
    EXPECT_EQ(ns[2], kNHeader + kSHeader);
    EXPECT_EQ(tabs(ns[113]), 32U);
    // N and Nfp.
    const std::vector<std::string> nfp =
        split_crlf(file_text(computed(), checked(true, false, true), "R0"));
    EXPECT_EQ(nfp[2], kNHeader + kFpHeader);
}

TEST(ConstLineFile, WriteConstLinesWritesLinesThreeToOneHundredFourteen) {
    const ConstLines lines = computed();
    std::ostringstream body;
    write_const_lines(body, lines, checked(true, true, true));
    const std::string whole = file_text(lines, checked(true, true, true), "R0");
    EXPECT_EQ("Constante propreties lines\r\nReichweite:   R0\r\n" + body.str(), whole);
    EXPECT_EQ(split_crlf(body.str()).size(), 112U);
}

class ExportFile : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("teravine_lines_" + std::string(info->name()) + "_" +
                                            std::to_string(static_cast<long>(::getpid())));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir_;
};

TEST_F(ExportFile, WritesExactlyTheTextAndReplacesAnExistingFile) {
    const fs::path path = dir_ / "all.IWL";
    {
        std::ofstream old(path, std::ios::binary);
        old << std::string(200000, 'x'); // longer than the new content
    }
    const ConstLines lines = computed(2);
    const auto written = export_const_lines(path.string(), lines, checked(true, true, true), "R1");
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(read(path), file_text(lines, checked(true, true, true), "R1"));
}

TEST_F(ExportFile, FileThatCannotBeCreatedIsDescribed) {
    const fs::path path = dir_ / "missing" / "lines.IWL";
    const auto written =
        export_const_lines(path.string(), computed(), checked(true, true, true), "R0");
    ASSERT_FALSE(written.ok());
    EXPECT_NE(written.error().find("Cannot create the file"), std::string::npos) << written.error();
    EXPECT_NE(written.error().find(path.string()), std::string::npos) << written.error();
    EXPECT_NE(written.error().find("No such file or directory"), std::string::npos)
        << written.error();
    EXPECT_EQ(written.error().find('\n'), std::string::npos);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(ExportFile, FullDiskIsDescribed) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    const auto written =
        export_const_lines("/dev/full", computed(), checked(true, true, true), "R0");
    ASSERT_FALSE(written.ok());
    EXPECT_NE(written.error().find("Writing the file \"/dev/full\" failed"), std::string::npos)
        << written.error();
    EXPECT_NE(written.error().find("No space left on device"), std::string::npos)
        << written.error();
}

} // namespace
} // namespace teravine
