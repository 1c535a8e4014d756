// SPDX-License-Identifier: GPL-3.0-or-later
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

} // namespace
} // namespace teravine
