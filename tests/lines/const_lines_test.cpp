#include "lines/const_lines.h"

#include <gtest/gtest.h>

namespace teravine {
namespace {

ConstLines all_families(std::int16_t reich) {
    Calibration cal = make_calibration(reich);
    ConstLines lines;
    compute_const_n_lines(cal, lines);
    compute_const_s_lines(cal, lines);
    compute_const_fp_lines(cal, lines);
    return lines;
}

bool same_line(const Line& a, const Line& b) {
    if (a.count != b.count) {
        return false;
    }
    for (int j = 1; j <= a.count; ++j) {
        if (a.point(j).ad != b.point(j).ad || a.point(j).eg != b.point(j).eg) {
            return false;
        }
    }
    return true;
}

TEST(ConstLines, ValueListsAreRefilled) {
    const ConstLines lines = all_families(1);
    const std::int16_t n[] = {0, 7, 10, 14, 20, 30, 40, 60, 80, 120, 200};
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(lines.val_n[static_cast<std::size_t>(i)], n[i]) << i;
    }
    EXPECT_EQ(lines.val_s[2], 0.02f);
    EXPECT_EQ(lines.val_s[10], 0.1f);
    EXPECT_EQ(lines.val_s[12], 0.14f);
    EXPECT_EQ(lines.val_fp[2], 0.0142857f);
    EXPECT_EQ(lines.val_fp[10], 0.08333333f);
    EXPECT_EQ(lines.val_fp[15], 0.1428857f); // not 1/7
    EXPECT_NE(lines.val_fp[15], 0.142857f);
    EXPECT_EQ(lines.val_fp[16], 0.2f);
    EXPECT_EQ(lines.val_fp[0], 0);
    EXPECT_EQ(lines.val_fp[1], 0);
}

TEST(ConstLines, NSevenIsLineOne) {
    const ConstLines lines = all_families(1);
    EXPECT_EQ(lines.n[0].count, 0);
    ASSERT_GT(lines.n[1].count, 0);
    EXPECT_NEAR(lines.n[1].point(1).ad, 0.725, 1e-6);
    for (int i = 1; i <= 10; ++i) {
        EXPECT_GT(lines.n[static_cast<std::size_t>(i)].count, 0) << i;
    }
}

TEST(ConstLines, UncomputedLinesKeepCountZero) {
    const ConstLines lines = all_families(1);
    for (int i : {0, 1, 3, 5, 7, 9, 11, 13, 14, 15, 16}) {
        EXPECT_EQ(lines.s[static_cast<std::size_t>(i)].count, 0) << i;
    }
    for (int i : {2, 4, 6, 8, 10}) {
        EXPECT_GT(lines.s[static_cast<std::size_t>(i)].count, 0) << i;
    }
    EXPECT_EQ(lines.fp[0].count, 0);
    EXPECT_EQ(lines.fp[1].count, 0);
    for (int i = 2; i <= 14; ++i) {
        EXPECT_EQ(lines.fp[static_cast<std::size_t>(i)].count, 8) << i;
        EXPECT_EQ(lines.fp[static_cast<std::size_t>(i)].points.size(), 9U) << i;
    }
}

TEST(ConstLines, EachReichweiteHasItsOwnFamilies) {
    const ConstLines r0 = all_families(1);
    const ConstLines r1 = all_families(2);
    const ConstLines r3 = all_families(3);
    auto differs = [](const ConstLines& a, const ConstLines& b, auto member, int first, int last,
                      int step) {
        for (int i = first; i <= last; i += step) {
            const auto at = static_cast<std::size_t>(i);
            if (!same_line((a.*member)[at], (b.*member)[at])) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(differs(r0, r1, &ConstLines::n, 1, 10, 1));
    EXPECT_TRUE(differs(r0, r3, &ConstLines::n, 1, 10, 1));
    EXPECT_TRUE(differs(r1, r3, &ConstLines::n, 1, 10, 1));
    EXPECT_TRUE(differs(r0, r1, &ConstLines::s, 2, 12, 2));
    EXPECT_TRUE(differs(r0, r3, &ConstLines::s, 2, 12, 2));
    EXPECT_TRUE(differs(r0, r1, &ConstLines::fp, 2, 16, 1));
    EXPECT_TRUE(differs(r0, r3, &ConstLines::fp, 2, 16, 1));
    // R3's axes end at 0.9: its N lines stop at the first width beyond it.
    for (int i = 1; i <= 10; ++i) {
        const Line& line = r3.n[static_cast<std::size_t>(i)];
        for (int j = 1; j <= line.count; ++j) {
            EXPECT_LE(line.point(j).ad, 0.925f);
        }
    }
}

TEST(ConstLines, RecomputingUnderAnotherReichweiteReplacesTheLines) {
    ConstLines lines = all_families(1);
    Calibration r3 = make_calibration(3);
    compute_const_n_lines(r3, lines);
    compute_const_s_lines(r3, lines);
    compute_const_fp_lines(r3, lines);
    const ConstLines fresh = all_families(3);
    for (int i = 1; i <= 10; ++i) {
        const auto at = static_cast<std::size_t>(i);
        EXPECT_TRUE(same_line(lines.n[at], fresh.n[at])) << i;
    }
    for (int i = 0; i <= 16; ++i) {
        const auto at = static_cast<std::size_t>(i);
        EXPECT_TRUE(same_line(lines.s[at], fresh.s[at])) << i;
        EXPECT_TRUE(same_line(lines.fp[at], fresh.fp[at])) << i;
    }
}

} // namespace
} // namespace teravine
