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

TEST(LayoutFrame, R3FrameIsNineUnitsSquare) {
    PlotWindow plot = world_plot(3);
    layout_frame(plot, 0.25f, 0.4f);
    EXPECT_FLOAT_EQ(plot.right - plot.left, 9);
    EXPECT_FLOAT_EQ(plot.bottom - plot.top, 9);
    EXPECT_NEAR(plot.left, 0.9f + 1.1f * 0.4f, 1e-5);
    EXPECT_NEAR(plot.top, 0.45f + 2 * 0.25f, 1e-5);
}

TEST(LayoutFrame, LongerYCaptionMovesFrameRightTallerXCaptionMovesItDown) {
    PlotWindow narrow = world_plot(1);
    layout_frame(narrow, 0.25f, 0.4f);
    PlotWindow wide = world_plot(1);
    layout_frame(wide, 0.25f, 1.4f);
    EXPECT_FLOAT_EQ(wide.left - narrow.left, 1.1f);
    EXPECT_FLOAT_EQ(wide.right - narrow.right, 1.1f);
    EXPECT_EQ(wide.top, narrow.top);

    PlotWindow tall = world_plot(1);
    layout_frame(tall, 0.75f, 0.4f);
    EXPECT_FLOAT_EQ(tall.top - narrow.top, 1.0f);
    EXPECT_FLOAT_EQ(tall.bottom - narrow.bottom, 1.0f);
    EXPECT_EQ(tall.left, narrow.left);
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
