// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/calibration.h"
#include "model/polynomial.h"

#include <gtest/gtest.h>

namespace teravine {
namespace {

TEST(LoadReich, R0AndR1HaveAnElevenUnitWindowAnd110Points) {
    for (std::int16_t reich : {1, 2}) {
        Calibration cal;
        init_calibration(cal);
        cal.reich = reich;
        WorldWindow w;
        load_reich(cal, w);
        EXPECT_FLOAT_EQ(cal.range(), 1.1f);
        EXPECT_EQ(w.xmax, 1.1f);
        EXPECT_EQ(w.ymax, 1.1f);
        EXPECT_EQ(w.xmin, 0.0f);
        EXPECT_EQ(w.nx, 11.0f);
        EXPECT_EQ(w.ny, 11.0f);
        EXPECT_EQ(w.xunit, 1.1f / 11.0f);
        EXPECT_EQ(w.ystep, w.xunit);
        EXPECT_EQ(w.xminor, 5);
        EXPECT_EQ(cal.k_curve[110][1][3], 1.1f);
        EXPECT_EQ(cal.k_curve[1][1][3], 0.01f);
    }
}

TEST(MakeCalibration, LoadsR0FirstSoR3KeepsFullKCurves) {
    const Calibration cal = make_calibration(3);
    EXPECT_EQ(cal.reich, 3);
    EXPECT_EQ(cal.k_curve[110][1][5], 1.1f);
    EXPECT_NE(cal.k_curve[110][2][5], 0.0f);
}

} // namespace
} // namespace teravine
