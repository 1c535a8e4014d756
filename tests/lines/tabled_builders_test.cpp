#include "lines/line_builders.h"
#include "lines/line_memo.h"
#include "lines/line_tables.h"
#include "lines/tabled_builders.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

namespace teravine {
namespace {

// Two lines are the same when every stored point has the same bits, not merely values
// that compare equal.
void expect_same_line(const Line& got, const Line& want, const std::string& what) {
    ASSERT_EQ(got.count, want.count) << what;
    ASSERT_EQ(got.points.size(), want.points.size()) << what;
    for (std::size_t j = 0; j < want.points.size(); ++j) {
        EXPECT_EQ(std::bit_cast<std::uint32_t>(got.points[j].ad),
                  std::bit_cast<std::uint32_t>(want.points[j].ad))
            << what << " point " << j + 1;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(got.points[j].eg),
                  std::bit_cast<std::uint32_t>(want.points[j].eg))
            << what << " point " << j + 1;
    }
}

std::string named(const char* family, std::int16_t reich, double value) {
    return std::string(family) + " R index " + std::to_string(reich) + " value " +
           std::to_string(value);
}

// Every N a sample can round to, every %S with two decimals up to 40 %, every 100/Nfp
// with two decimals up to 60: the values the lines of samples are built for, and the
// grids' own.
TEST(TabledBuilders, EveryLineIsTheLineOfThePlainBuilders) {
    int non_empty = 0;
    for (std::int16_t reich : {1, 2, 3}) {
        Calibration plain = make_calibration(reich);
        Calibration tabled = make_calibration(reich);
        const LineTables tables = make_line_tables(tabled);
        ASSERT_TRUE(tables.fit(tabled));
        for (int n = 1; n <= 400; ++n) {
            Line want, got;
            build_const_n_line(plain, static_cast<std::int16_t>(n), want);
            build_const_n_line(tabled, tables, static_cast<std::int16_t>(n), got);
            expect_same_line(got, want, named("N", reich, n));
            non_empty += want.count > 0;
        }
        for (int hundredths = 0; hundredths <= 4000; hundredths += 7) {
            const auto s = static_cast<float>(static_cast<float>(hundredths / 100.0) / 100.0);
            Line want, got;
            build_const_s_line(plain, s, want);
            build_const_s_line(tabled, tables, s, got);
            expect_same_line(got, want, named("%S", reich, s));
            non_empty += want.count > 0;
        }
        for (int hundredths = 1; hundredths <= 6000; hundredths += 11) {
            const auto u = static_cast<float>(static_cast<float>(hundredths / 100.0) / 100.0);
            Line want, got;
            build_const_fp_line(plain, u, want);
            build_const_fp_line(tabled, tables, u, got);
            expect_same_line(got, want, named("Nfp", reich, u));
            non_empty += want.count > 0;
        }
    }
    EXPECT_GT(non_empty, 2000); // the comparison is not one of empty lines
}

TEST(TabledBuilders, TablesOfAnotherReichweiteOrRangeAreNotUsed) {
    Calibration r0 = make_calibration(1);
    const LineTables r0_tables = make_line_tables(r0);
    Calibration r3 = make_calibration(3);
    EXPECT_FALSE(r0_tables.fit(r3));
    EXPECT_FALSE(LineTables{}.fit(r0));

    // Wrong tables fall back to the plain builder of cal's own Reichweite.
    Line want, got;
    build_const_s_line(r3, 0.05f, want);
    build_const_s_line(r3, r0_tables, 0.05f, got);
    expect_same_line(got, want, "R3 with the R0 tables");

    // A range changed after the tables were made: the sweep must end elsewhere.
    Calibration narrowed = make_calibration(1);
    narrowed.iw_range[1] = 0.6f;
    EXPECT_FALSE(r0_tables.fit(narrowed));
    build_const_n_line(narrowed, 20, want);
    build_const_n_line(narrowed, r0_tables, 20, got);
    expect_same_line(got, want, "R0 narrowed to 0.6");
    ASSERT_GT(got.count, 0);
    EXPECT_LE(got.point(got.count).ad, 0.625f);

    // So does a table whose rows were changed.
    Calibration altered = make_calibration(1);
    altered.coef_invn[1][3][2] += 0.001f;
    EXPECT_FALSE(r0_tables.fit(altered));
}

TEST(LineMemo, GivesTheBuiltLineAgainAndKeepsOneLinePerValue) {
    Calibration cal = make_calibration(2);
    const LineTables tables = make_line_tables(cal);
    LineMemo memo(tables);
    for (int round = 0; round < 2; ++round) {
        for (std::int16_t n : {12, 24, 12}) {
            Line want, got;
            build_const_n_line(cal, n, want);
            memo.n_line(cal, n, got);
            expect_same_line(got, want, "N " + std::to_string(n));
        }
        for (float s : {0.0488f, 0.1f}) {
            Line want, got;
            build_const_s_line(cal, s, want);
            memo.s_line(cal, s, got);
            expect_same_line(got, want, "%S " + std::to_string(s));
        }
        Line want, got;
        build_const_fp_line(cal, 0.0885f, want);
        memo.fp_line(cal, 0.0885f, got);
        expect_same_line(got, want, "Nfp");
    }
    EXPECT_EQ(memo.size(), 5U);

    // A line built while the tables do not fit is the plain one and is not kept.
    Calibration other = make_calibration(3);
    Line want, got;
    build_const_n_line(other, 24, want);
    memo.n_line(other, 24, got);
    expect_same_line(got, want, "N 24 under R3");
    EXPECT_EQ(memo.size(), 5U);
}

} // namespace
} // namespace teravine
