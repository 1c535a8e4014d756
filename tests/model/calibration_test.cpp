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

TEST(LoadReich, R3HasANineUnitWindowAnd90Points) {
    Calibration cal = make_calibration(1);
    cal.reich = 3;
    WorldWindow w;
    load_reich(cal, w);
    EXPECT_EQ(cal.range(), 0.9f);
    EXPECT_EQ(w.xmax, 0.9f);
    EXPECT_EQ(w.nx, 9.0f);
    EXPECT_EQ(w.xunit, 0.9f / 9.0f);
    EXPECT_EQ(cal.k_curve[90][1][5], 0.9f);
    EXPECT_EQ(cal.k_curve[90][2][5], Pol5_0(cal.coef_eg, 3, 5, 0.9f));
    // Points beyond the R3 range keep the R0 values.
    const Calibration r0 = make_calibration(1);
    for (int i = 91; i <= 110; ++i) {
        for (int row = 1; row <= 5; ++row) {
            EXPECT_EQ(cal.k_curve[i][2][row], r0.k_curve[i][2][row]);
        }
    }
}

TEST(LoadReich, RowOneIsTheDiagonalInEveryReichweite) {
    for (std::int16_t reich : {1, 2, 3}) {
        const Calibration cal = make_calibration(reich);
        for (int i = 1; i <= 90; ++i) {
            EXPECT_EQ(cal.k_curve[i][2][1], cal.k_curve[i][1][1]);
        }
    }
}

TEST(LoadReich, WritesTheSetOfTheCurrentIndexOnly) {
    Calibration cal;
    init_calibration(cal);
    cal.reich = 2;
    WorldWindow w;
    load_reich(cal, w);
    EXPECT_EQ(cal.coef_eg[2][2][2], 0.3839f);
    EXPECT_EQ(cal.coef_invn[2][5][1], 0.05f);
    EXPECT_EQ(cal.coef_eg[1][2][2], 0.0f);
    EXPECT_EQ(cal.coef_eg[2][1][2], 0.0f);
    EXPECT_EQ(cal.name(), "R1");
}

TEST(MakeCalibration, LoadsR0FirstSoR3KeepsFullKCurves) {
    const Calibration cal = make_calibration(3);
    EXPECT_EQ(cal.reich, 3);
    EXPECT_EQ(cal.k_curve[110][1][5], 1.1f);
    EXPECT_NE(cal.k_curve[110][2][5], 0.0f);
}

TEST(ReichName, ParsesTheThreeNames) {
    EXPECT_EQ(reich_from_name("R0"), 1);
    EXPECT_EQ(reich_from_name("R1"), 2);
    EXPECT_EQ(reich_from_name("R3"), 3);
    EXPECT_EQ(reich_from_name("R2"), 0);
}

} // namespace
} // namespace teravine
