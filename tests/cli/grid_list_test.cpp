// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/grid_list.h"

#include <gtest/gtest.h>

namespace teravine::cli {
namespace {

TEST(GridList, NamedFamiliesAreSwitchedOnAndTheOthersOff) {
    const auto all = parse_grid_list("N,S,Nfp", false);
    ASSERT_TRUE(all.ok()) << all.error();
    EXPECT_FALSE(all->k);
    EXPECT_TRUE(all->n);
    EXPECT_TRUE(all->s);
    EXPECT_TRUE(all->fp);

    const auto some = parse_grid_list("Nfp,N", false);
    ASSERT_TRUE(some.ok());
    EXPECT_TRUE(some->n);
    EXPECT_FALSE(some->s);
    EXPECT_TRUE(some->fp);

    const auto none = parse_grid_list("", false);
    ASSERT_TRUE(none.ok());
    EXPECT_FALSE(none->k || none->n || none->s || none->fp);
}

TEST(GridList, KOnlyWhereTheCommandDrawsIt) {
    const auto with_k = parse_grid_list("k,N", true);
    ASSERT_TRUE(with_k.ok());
    EXPECT_TRUE(with_k->k);
    EXPECT_TRUE(with_k->n);
    const auto without = parse_grid_list("k,N", false);
    ASSERT_FALSE(without.ok());
    EXPECT_EQ(without.error(),
              "--grids: unknown grid \"k\" (expected a comma-separated list of N, S or Nfp)");
}

TEST(GridList, UnknownOrEmptyNamesAreRefusedInOneLine) {
    for (const char* list : {"X", "N,X", "n", "N,,S", "N,", ",N", "N S", "%S"}) {
        const auto parsed = parse_grid_list(list, true);
        ASSERT_FALSE(parsed.ok()) << list;
        EXPECT_EQ(parsed.error().find('\n'), std::string::npos);
        EXPECT_NE(parsed.error().find("k, N, S or Nfp"), std::string::npos) << parsed.error();
    }
}

} // namespace
} // namespace teravine::cli
