// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixtures.h"

#include <gtest/gtest.h>

namespace teravine {
namespace {

TEST(LayoutFrame, R0FrameIsElevenUnitsSquare) {
    PlotWindow plot = world_plot(1);
    layout_frame(plot, 0.25f, 0.4f);
    EXPECT_FLOAT_EQ(plot.right - plot.left, 11);
    EXPECT_FLOAT_EQ(plot.bottom - plot.top, 11);
    // Left edge: 0.1 x width plus 1.1 caption widths; top edge: 0.05 x height plus two
    // caption heights below the top of the surface.
    EXPECT_FLOAT_EQ(plot.left, 1.1f + 1.1f * 0.4f);
    EXPECT_FLOAT_EQ(plot.top, 0.55f + 2 * 0.25f);
    EXPECT_EQ(plot.left, plot.xorig);
    EXPECT_EQ(plot.bottom, plot.yorig);
}

TEST(LayoutFrame, TransformsAndInverseRuleMeetAtTheCorners) {
    for (std::int16_t reich : {1, 2, 3}) {
        PlotWindow p = world_plot(reich);
        layout_frame(p, 0.3f, 0.55f);
        EXPECT_EQ(sx(p, 0), p.left);
        EXPECT_EQ(sy(p, 0), p.bottom);
        EXPECT_FLOAT_EQ(sx(p, p.xmax), p.right);
        EXPECT_FLOAT_EQ(sy(p, p.ymax), p.top);
        EXPECT_EQ(ad_from_surface(p, p.left), 0);
        EXPECT_EQ(eg_from_surface(p, p.bottom), 0);
        EXPECT_FLOAT_EQ(ad_from_surface(p, p.right), p.xmax);
        EXPECT_FLOAT_EQ(eg_from_surface(p, p.top), p.ymax);
        for (float w : {0.05f, 0.37f, 0.5f, 0.89f}) {
            EXPECT_NEAR(ad_from_surface(p, sx(p, w)), w, 1e-6);
            EXPECT_NEAR(eg_from_surface(p, sy(p, w)), w, 1e-6);
        }
    }
}

} // namespace
} // namespace teravine
