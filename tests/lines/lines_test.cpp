// SPDX-License-Identifier: GPL-3.0-or-later
// The row solvers, the line builders made of them, and the .IWL file of the grids.
#include "lines/const_line_file.h"
#include "lines/const_lines.h"
#include "lines/line_builders.h"
#include "lines/row_solvers.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <sstream>
#include <vector>

namespace teravine {
namespace {

// 1/N and k of a point identified as a click identifies it (find_k, row_frac, the mix).
bool identified(const Calibration& cal, const LinePoint& p, double& inv_n, float& k) {
    const KPlace place = find_k(cal.coef_eg, p.ad, p.eg, cal.reich);
    if (!place.inside()) {
        return false;
    }
    const InterpRecord carried = row_frac(place.rec, cal.coef_invn, cal.reich, p.ad);
    inv_n = Pol5_0(interp_row(carried, cal.coef_invn, cal.reich), p.ad);
    k = place.rec.k;
    return true;
}

// Each point of an N or %S line gives back the line's value, within the solvers'
// tolerances, in every Reichweite. Only where the k = 3 curve of R3 crosses above k = 2
// does find_k miss a point.
TEST(BuildConstLine, EveryPointIdentifiesBackToItsNOrPercentS) {
    int checked = 0;
    for (std::int16_t reich : {1, 2, 3}) {
        const Calibration cal = make_calibration(reich);
        for (int n : {7, 10, 20, 40, 80, 200}) {
            const float s = 0.02f * static_cast<float>(n % 7 + 1);
            Line lines[2];
            build_const_n_line(cal, static_cast<std::int16_t>(n), lines[0]);
            build_const_s_line(cal, s, lines[1]);
            for (int which : {0, 1}) {
                for (const LinePoint& p : lines[which].points) {
                    EXPECT_LE(p.ad, cal.range() + 0.025f);
                    double inv_n = 0;
                    float k = 0;
                    if (!identified(cal, p, inv_n, k)) {
                        EXPECT_GT(Pol5_0(cal.coef_eg, reich, 5, p.ad),
                                  Pol5_0(cal.coef_eg, reich, 4, p.ad));
                    } else if (++checked; which == 0) {
                        EXPECT_NEAR(inv_n, 1.0 / n, 2e-5)
                            << "R" << reich << " N " << n << " AD " << p.ad;
                    } else {
                        EXPECT_NEAR(k * inv_n, s, 2e-4)
                            << "R" << reich << " S " << s << " AD " << p.ad;
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 400);
}

TEST(BuildConstLine, NSevenStartsWhereItEntersTheModelAndStoresStopAtCapacity) {
    Calibration cal = make_calibration(1);
    Line line;
    build_const_n_line(cal, 7, line);
    // 0.725 as 0.025 + 0.025 + ... sums it in single precision, not the nearest single.
    EXPECT_EQ(line.point(1).ad, 0x1.73332ep-1f);
    cal.iw_range[1] = 100; // far more sweep widths than a store holds
    build_const_s_line(cal, 0.0f, line);
    EXPECT_EQ(line.count, kLineCapacity);
    EXPECT_EQ(line.points.size(), static_cast<std::size_t>(kLineCapacity));
}

// The march visits rows 5, 4, 4, 3, 3, 2, 2, 1, 1 and its count leaves out the last point.
TEST(BuildConstFpLine, MarchesDownTheRows) {
    const Calibration cal = make_calibration(1);
    Line line;
    build_const_fp_line(cal, 0.0142857f, line); // Nfp = 70
    EXPECT_EQ(line.count, 8);
    ASSERT_EQ(line.points.size(), 9U);
    const int rows[] = {5, 4, 4, 3, 3, 2, 2, 1, 1};
    for (int j = 1; j <= 9; ++j) {
        const LinePoint p = line.point(j);
        EXPECT_NEAR(Pol5_0(cal.coef_eg, 1, static_cast<std::int16_t>(rows[j - 1]), p.ad), p.eg,
                    1e-6)
            << j;
    }
    EXPECT_EQ(line.point(2).ad, line.point(3).ad);
    EXPECT_EQ(line.point(9).ad, line.point(9).eg); // row 1 is the diagonal
}

using Solver = std::function<std::optional<RowSolution>(const Calibration&, float x, float target)>;

const Solver kForN = [](const Calibration& cal, float x, float n) {
    return solve_row_for_n(cal.coef_invn, x, n, 1);
};
const Solver kForS = [](const Calibration& cal, float x, float s) {
    return solve_row_for_s(cal.coef_invn, x, s, 1);
};

double inv_n(const Calibration& cal, std::int16_t row, float x) {
    return Pol5_0(cal.coef_invn, 1, row, x);
}

// N, mixed linearly with the record's weight, and %S = k / N at it.
TEST(RowSolvers, PlaceTheTargetBetweenTwoRowsWithAWeightInNTerms) {
    const Calibration cal = make_calibration(1);
    for (const bool for_n : {true, false}) {
        const auto solved = (for_n ? kForN : kForS)(cal, 0.5f, for_n ? 30 : 0.04f);
        ASSERT_TRUE(solved);
        EXPECT_GT(solved->passes, 0);
        const InterpRecord& rec = solved->rec;
        EXPECT_EQ(rec.row_hi, rec.row_lo + 1);
        const double n = rec.frac / inv_n(cal, rec.row_lo, 0.5f) +
                         (1.0 - rec.frac) / inv_n(cal, rec.row_hi, 0.5f);
        const float lo = kKRow[static_cast<std::size_t>(rec.row_lo)];
        EXPECT_FLOAT_EQ(rec.k,
                        lo + (1 - rec.frac) * (kKRow[static_cast<std::size_t>(rec.row_hi)] - lo));
        if (for_n) {
            EXPECT_NEAR(n, 30.0, 0.05);
            // The rows mixed with the weight carried back to row terms give 1/N itself.
            const InterpRecord mixed = row_frac(rec, cal.coef_invn, 1, 0.5f);
            EXPECT_NEAR(Pol5_0(interp_row(mixed, cal.coef_invn, 1), 0.5f), 1.0 / 30, 1e-5);
        } else {
            EXPECT_NEAR(rec.k / n, 0.04, 1e-4);
        }
    }
}

// No point. Far outside the diagram (x = 10) no single comes within the tolerance and the
// bisection stops at its cap.
TEST(RowSolvers, RefusalsGiveNoPoint) {
    const Calibration cal = make_calibration(1);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float far_n =
        static_cast<float>(1.0 / static_cast<float>(inv_n(cal, 5, 10) +
                                                    (inv_n(cal, 1, 10) - inv_n(cal, 5, 10)) * 0.1));
    // clang-format off
    const struct {
        const Solver& solve;
        float x, target;
    } cases[] = {
        {kForN, nan, 20}, {kForN, inf, 20}, {kForN, -inf, 20}, {kForN, 1e10f, 20}, {kForN, 0, 20},
        {kForN, -0.5f, 20}, {kForN, 10, far_n}, {kForS, nan, 0.02f}, {kForS, inf, 0.02f},
        {kForS, 1e30f, 0.02f}, {kForS, -0.5f, 0.02f}, {kForS, 0, 0}, {kForS, 0.5f, nan},
        {kForS, 0.5f, inf}, {kForS, 10, 1.5f * static_cast<float>(inv_n(cal, 5, 10))}
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_FALSE(c.solve(cal, c.x, c.target)) << c.x << " " << c.target;
    }
}

ConstLines computed(std::int16_t reich) {
    const Calibration cal = make_calibration(reich);
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
