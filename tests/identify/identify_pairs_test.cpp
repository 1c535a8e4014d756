// SPDX-License-Identifier: GPL-3.0-or-later
// The fast ways of identifying (the per-Reichweite tables, the memo of built lines, many
// pairs over the cores) give what identify_point gives on the polynomials, bit for bit.
#include "identify/identify_pairs.h"
#include "support/fingerprint.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace teravine {
namespace {

// Points inside the model, on the diagonal, above it, on the k = 3 row, and widths of 0
// and below, over the whole frame of the Reichweite.
void grid_over(const Calibration& cal, std::vector<float>& ad, std::vector<float>& eg) {
    for (int i = 0; i <= 48; ++i) {
        const auto x = static_cast<float>(-0.01 + i * (cal.range() + 0.02) / 48);
        for (int j = 0; j <= 26; ++j) {
            ad.push_back(x);
            eg.push_back(j == 25   ? x
                         : j == 26 ? Pol5_0(cal.coef_eg, cal.reich, 5, x)
                                   : static_cast<float>(x * (0.55 + 0.5 * j / 24)));
        }
    }
}

TEST(IdentifyPairs, TablesMemoAndEveryWorkerCountGiveThePlainResultBitForBit) {
    for (std::int16_t reich : {1, 2, 3}) {
        Calibration plain = make_calibration(reich);
        Calibration fast = make_calibration(reich);
        const LineTables tables = make_line_tables(fast);
        LineMemo memo(tables);
        std::vector<float> ad, eg;
        grid_over(plain, ad, eg);
        std::vector<std::vector<Fingerprint>> by_workers;
        for (unsigned workers : {1u, 2u, 3u, 0u}) {
            by_workers.emplace_back();
            for (const Identification& got : identify_pairs(fast, tables, ad, eg, workers)) {
                by_workers.back().push_back(fingerprint(got.placed));
                by_workers.back().back().push_back(std::bit_cast<std::uint32_t>(got.iw_eg));
                if (got.located) {
                    const Fingerprint at = fingerprint(got.interp);
                    by_workers.back().back().insert(by_workers.back().back().end(), at.begin(),
                                                    at.end());
                    EXPECT_EQ(got.interp.spare, 0.0f);
                }
            }
        }
        int placed = 0;
        for (int round = 0; round < 2; ++round) { // the second round takes every line from the memo
            for (std::size_t i = 0; i < ad.size(); ++i) {
                InterpRecord want_at, tabled_at, memo_at;
                want_at.row_lo = -1;
                float want_eg = eg[i], tabled_eg = eg[i], memo_eg = eg[i];
                const auto want = identify_point(plain, want_at, ad[i], want_eg);
                Fingerprint expected = fingerprint(want);
                expected.push_back(std::bit_cast<std::uint32_t>(want_eg));
                const Fingerprint at = fingerprint(want_at);
                if (want_at.row_lo != -1) {
                    expected.insert(expected.end(), at.begin(), at.end());
                }
                const std::string what =
                    "R index " + std::to_string(reich) + " point " + std::to_string(i);
                const auto tabled = identify_point(fast, tables, tabled_at, ad[i], tabled_eg);
                const auto memoed = identify_point(fast, memo, memo_at, ad[i], memo_eg);
                EXPECT_EQ(fingerprint(tabled), fingerprint(want)) << what;
                EXPECT_EQ(fingerprint(memoed), fingerprint(want)) << what;
                if (want) {
                    EXPECT_EQ(fingerprint(tabled_at), at) << what;
                    EXPECT_EQ(fingerprint(memo_at), at) << what;
                }
                for (const auto& results : by_workers) {
                    EXPECT_EQ(results[i], expected) << what;
                }
                placed += want.has_value();
            }
        }
        EXPECT_GT(placed, 800) << "R index " << reich;
    }
}

} // namespace
} // namespace teravine
