// SPDX-License-Identifier: GPL-3.0-or-later
// The numbers of the three boxes. Each refusal's message is pinned by tests/app.
#include "identify/width_entry.h"

#include <gtest/gtest.h>

namespace teravine {
namespace {

TEST(ParseBoxNumber, OneRuleForEveryBox) {
    const std::pair<const char*, float> good[] = {{"0.5", 0.5f},   {" .5 ", 0.5f}, {"5.", 5.0f},
                                                  {"-0.1", -0.1f}, {"+0.1", 0.1f}, {"1e-1", 0.1f}};
    for (const auto& [text, value] : good) {
        EXPECT_EQ(parse_box_number(text), value) << text;
    }
    for (const char* bad : {"", " ", "abc", "0.5abc", "0..5", "nan", "inf", "-inf", "0x1p-2",
                            "1e400", "--1", "+", ".", "0.5 0.4", "0,5"}) {
        EXPECT_FALSE(parse_box_number(bad)) << bad;
    }
    // The locale's separator is accepted beside the point.
    EXPECT_EQ(parse_box_number("0,5", ','), 0.5f);
    EXPECT_EQ(parse_box_number("0.5", ','), 0.5f);
    EXPECT_FALSE(parse_box_number("0,5,1", ','));
}

TEST(CheckWidthEntry, TheLimitsOfTheWidths) {
    const struct {
        const char *broad, *ad, *eg;
        float range;
        EntryProblem problem;
    } cases[] = {{"", "0.5", "0.5", 1.1f, EntryProblem::None},
                 {"", "0.5", "0.011", 1.1f, EntryProblem::None},
                 {"", "0.5", "0.01", 1.1f, EntryProblem::WidthsOutOfRange},
                 {"", "0.9", "0.4", 0.9f, EntryProblem::WidthsOutOfRange},
                 {"", "1.0999", "0.4", 1.1f, EntryProblem::None},
                 {"0.4", "0.5", "0.4", 1.1f, EntryProblem::BroadeningTooLarge}};
    for (const auto& c : cases) {
        EXPECT_EQ(check_width_entry(c.broad, c.ad, c.eg, c.range).problem, c.problem)
            << c.ad << " " << c.eg;
    }
    EXPECT_EQ(check_width_entry("0.05", "0,5", "0,4", 1.1f, ',').problem, EntryProblem::None);
    const WidthEntry e = check_width_entry(" 0.05", "0.5", "0.4", 1.1f);
    EXPECT_EQ(e.broadening, 0.05f);
    EXPECT_EQ(e.eg, 0.4f);
}

} // namespace
} // namespace teravine
