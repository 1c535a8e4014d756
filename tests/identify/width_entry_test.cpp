// SPDX-License-Identifier: GPL-3.0-or-later
#include "identify/width_entry.h"

#include <gtest/gtest.h>

namespace teravine {
namespace {

TEST(ParseBoxNumber, OneRuleForEveryBox) {
    EXPECT_EQ(parse_box_number("0.5"), 0.5f);
    EXPECT_EQ(parse_box_number(" .5 "), 0.5f);
    EXPECT_EQ(parse_box_number("5."), 5.0f);
    EXPECT_EQ(parse_box_number("-0.1"), -0.1f);
    EXPECT_EQ(parse_box_number("+0.1"), 0.1f);
    EXPECT_EQ(parse_box_number("1e-1"), 0.1f);
    for (const char* bad : {"", " ", "abc", "0.5abc", "0..5", "nan", "inf", "-inf", "0x1p-2",
                            "1e400", "--1", "+", ".", "0.5 0.4", "0,5"}) {
        EXPECT_FALSE(parse_box_number(bad)) << bad;
    }
}

TEST(ParseBoxNumber, TheLocaleSeparatorIsAcceptedBesideThePoint) {
    EXPECT_EQ(parse_box_number("0,5", ','), 0.5f);
    EXPECT_EQ(parse_box_number("0.5", ','), 0.5f);
    EXPECT_FALSE(parse_box_number("0,5,1", ','));
}

TEST(CheckWidthEntry, AcceptsOnlyWidthsInsideTheLimits) {
    EXPECT_EQ(check_width_entry("", "0.5", "0.4", 1.1f).problem, EntryProblem::None);
    EXPECT_EQ(check_width_entry("", "0.5", "0.5", 1.1f).problem, EntryProblem::None);
    EXPECT_EQ(check_width_entry("", "0.5", "0.011", 1.1f).problem, EntryProblem::None);
    EXPECT_EQ(check_width_entry("", "0.5", "0.01", 1.1f).problem, EntryProblem::WidthsOutOfRange);
    EXPECT_EQ(check_width_entry("", "0.9", "0.4", 0.9f).problem, EntryProblem::WidthsOutOfRange);
    EXPECT_EQ(check_width_entry("", "1.0999", "0.4", 1.1f).problem, EntryProblem::None);
    EXPECT_EQ(check_width_entry("0.4", "0.5", "0.4", 1.1f).problem,
              EntryProblem::BroadeningTooLarge);
    EXPECT_EQ(check_width_entry("0.05", "0,5", "0,4", 1.1f, ',').problem, EntryProblem::None);
    const WidthEntry e = check_width_entry(" 0.05", "0.5", "0.4", 1.1f);
    EXPECT_EQ(e.broadening, 0.05f);
    EXPECT_EQ(e.ad, 0.5f);
    EXPECT_EQ(e.eg, 0.4f);
}

} // namespace
} // namespace teravine
