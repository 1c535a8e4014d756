// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/grid_list.h"

#include <gtest/gtest.h>

namespace teravine::cli {
namespace {

TEST(GridList, NamedFamiliesOnTheOthersOffKOnlyWhereTheCommandDrawsIt) {
    const struct {
        const char* list;
        bool with_k;
        GridSwitches on;
    } cases[] = {{"N,S,Nfp", false, {false, true, true, true}},
                 {"Nfp,N", false, {false, true, false, true}},
                 {"", false, {false, false, false, false}},
                 {"k,N", true, {true, true, false, false}}};
    for (const auto& c : cases) {
        const auto got = parse_grid_list(c.list, c.with_k);
        ASSERT_TRUE(got.ok()) << c.list << ": " << got.error();
        EXPECT_TRUE(got->k == c.on.k && got->n == c.on.n && got->s == c.on.s && got->fp == c.on.fp)
            << c.list;
    }
    EXPECT_EQ(parse_grid_list("k,N", false).error(),
              "--grids: unknown grid \"k\" (expected a comma-separated list of N, S or Nfp)");
    for (const char* list : {"X", "N,X", "n", "N,,S", "N,", ",N", "N S", "%S"}) {
        const auto parsed = parse_grid_list(list, true);
        ASSERT_FALSE(parsed.ok()) << list;
        EXPECT_EQ(parsed.error().find('\n'), std::string::npos);
        EXPECT_NE(parsed.error().find("k, N, S or Nfp"), std::string::npos) << parsed.error();
    }
}

} // namespace
} // namespace teravine::cli
