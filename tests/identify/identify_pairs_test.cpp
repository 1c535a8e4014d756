// SPDX-License-Identifier: GPL-3.0-or-later
#include "identify/identify_pairs.h"
#include "model/polynomial.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace teravine {
namespace {

std::uint32_t bits(float v) {
    return std::bit_cast<std::uint32_t>(v);
}

void expect_same_line(const Line& got, const Line& want, const std::string& what) {
    ASSERT_EQ(got.count, want.count) << what;
    ASSERT_EQ(got.points.size(), want.points.size()) << what;
    for (std::size_t j = 0; j < want.points.size(); ++j) {
        EXPECT_EQ(bits(got.points[j].ad), bits(want.points[j].ad)) << what << " point " << j + 1;
        EXPECT_EQ(bits(got.points[j].eg), bits(want.points[j].eg)) << what << " point " << j + 1;
    }
}

void expect_same_sample(const std::optional<PlacedSample>& got,
                        const std::optional<PlacedSample>& want, const std::string& what) {
    ASSERT_EQ(got.has_value(), want.has_value()) << what;
    if (!want) {
        return;
    }
    const SampleRecord& g = got->record;
    const SampleRecord& w = want->record;
    EXPECT_EQ(bits(g.iw_ad), bits(w.iw_ad)) << what;
    EXPECT_EQ(bits(g.iw_eg), bits(w.iw_eg)) << what;
    EXPECT_EQ(g.n_int, w.n_int) << what;
    EXPECT_EQ(bits(g.n), bits(w.n)) << what;
    EXPECT_EQ(bits(g.s_pct), bits(w.s_pct)) << what;
    EXPECT_EQ(g.label, w.label) << what;
    EXPECT_EQ(bits(g.fp_pct), bits(w.fp_pct)) << what;
    EXPECT_EQ(got->n_of, want->n_of) << what;
    EXPECT_EQ(bits(got->s_of), bits(want->s_of)) << what;
    EXPECT_EQ(bits(got->fp_of), bits(want->fp_of)) << what;
    expect_same_line(got->line_k, want->line_k, what + " k line");
    expect_same_line(got->line_n, want->line_n, what + " N line");
    expect_same_line(got->line_s, want->line_s, what + " %S line");
    expect_same_line(got->line_fp, want->line_fp, what + " Nfp line");
}

void expect_same_interp(const InterpRecord& got, const InterpRecord& want,
                        const std::string& what) {
    EXPECT_EQ(got.row_lo, want.row_lo) << what;
    EXPECT_EQ(got.row_hi, want.row_hi) << what;
    EXPECT_EQ(bits(got.frac), bits(want.frac)) << what;
    EXPECT_EQ(bits(got.k), bits(want.k)) << what;
}

// A grid over the whole frame of the Reichweite: points inside the model, on the
// diagonal, above it, below the k = 3 row, and widths of 0 and below.
struct Grid {
    std::vector<float> ad, eg;
};

Grid grid_over(const Calibration& cal) {
    Grid g;
    const float range = cal.range();
    for (int i = 0; i <= 48; ++i) {
        const auto ad = static_cast<float>(-0.01 + i * (range + 0.02) / 48);
        for (int j = 0; j <= 24; ++j) {
            g.ad.push_back(ad);
            g.eg.push_back(static_cast<float>(ad * (0.55 + 0.5 * j / 24)));
        }
        g.ad.push_back(ad);
        g.eg.push_back(ad); // on the diagonal
        if (ad > 0) {
            g.ad.push_back(ad);
            g.eg.push_back(Pol5_0(cal.coef_eg, cal.reich, 5, ad)); // on the k = 3 row
        }
    }
    return g;
}

// The point identified alone with the plain builders: the reference.
struct Reference {
    std::optional<PlacedSample> placed;
    InterpRecord interp;
    bool located = false;
    float iw_eg = 0;
};

Reference reference(Calibration& cal, float ad, float eg) {
    Reference r;
    r.interp.row_lo = -1;
    r.iw_eg = eg;
    r.placed = identify_point(cal, r.interp, ad, r.iw_eg);
    r.located = r.interp.row_lo != -1;
    return r;
}

TEST(IdentifyFast, TablesAndMemoGiveThePlainSampleBitForBit) {
    for (std::int16_t reich : {1, 2, 3}) {
        Calibration plain = make_calibration(reich);
        Calibration fast = make_calibration(reich);
        const LineTables tables = make_line_tables(fast);
        LineMemo memo(tables);
        const Grid g = grid_over(plain);
        int placed = 0;
        // Twice over: the second round takes every line from the memo.
        for (int round = 0; round < 2; ++round) {
            for (std::size_t i = 0; i < g.ad.size(); ++i) {
                const std::string what = "R index " + std::to_string(reich) + " AD " +
                                         std::to_string(g.ad[i]) + " EG " + std::to_string(g.eg[i]);
                const Reference want = reference(plain, g.ad[i], g.eg[i]);
                InterpRecord interp_tabled, interp_memo;
                float eg_tabled = g.eg[i], eg_memo = g.eg[i];
                const auto tabled = identify_point(fast, tables, interp_tabled, g.ad[i], eg_tabled);
                const auto memoed = identify_point(fast, memo, interp_memo, g.ad[i], eg_memo);
                expect_same_sample(tabled, want.placed, what + " (tables)");
                expect_same_sample(memoed, want.placed, what + " (memo)");
                EXPECT_EQ(bits(eg_tabled), bits(want.iw_eg)) << what;
                EXPECT_EQ(bits(eg_memo), bits(want.iw_eg)) << what;
                if (want.located) {
                    expect_same_interp(interp_tabled, want.interp, what);
                    expect_same_interp(interp_memo, want.interp, what);
                }
                placed += want.placed.has_value();
            }
        }
        EXPECT_GT(placed, 800) << "R index " << reich;
    }
}

TEST(IdentifyPairs, EveryWorkerCountGivesThePlainResultsInOrder) {
    for (std::int16_t reich : {1, 2, 3}) {
        Calibration plain = make_calibration(reich);
        const Calibration cal = make_calibration(reich);
        const LineTables tables = make_line_tables(cal);
        const Grid g = grid_over(plain);
        std::vector<Reference> want;
        for (std::size_t i = 0; i < g.ad.size(); ++i) {
            want.push_back(reference(plain, g.ad[i], g.eg[i]));
        }
        for (unsigned workers : {1u, 2u, 3u, 0u}) {
            const auto got = identify_pairs(cal, tables, g.ad, g.eg, workers);
            ASSERT_EQ(got.size(), want.size());
            for (std::size_t i = 0; i < got.size(); ++i) {
                const std::string what = "R index " + std::to_string(reich) + " workers " +
                                         std::to_string(workers) + " point " + std::to_string(i);
                EXPECT_EQ(got[i].located, want[i].located) << what;
                EXPECT_EQ(bits(got[i].iw_eg), bits(want[i].iw_eg)) << what;
                if (want[i].located) {
                    expect_same_interp(got[i].interp, want[i].interp, what);
                    EXPECT_EQ(got[i].interp.spare, 0.0f) << what;
                }
                expect_same_sample(got[i].placed, want[i].placed, what);
            }
        }
    }
}

} // namespace
} // namespace teravine
