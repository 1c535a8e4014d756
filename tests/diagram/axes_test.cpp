// SPDX-License-Identifier: GPL-3.0-or-later
// The frame, its transforms and the axes.
#include "diagram/axes.h"
#include "fixtures.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace teravine {
namespace {

TEST(LayoutFrame, ElevenUnitsSquareAndTransformsThatMeetAtTheCorners) {
    PlotWindow r0 = laid_out_r0();
    EXPECT_FLOAT_EQ(r0.right - r0.left, 11);
    EXPECT_FLOAT_EQ(r0.bottom - r0.top, 11);
    // 0.1 x width plus 1.1 caption widths; 0.05 x height plus two caption heights.
    EXPECT_FLOAT_EQ(r0.left, 1.1f + 1.1f * 0.4f);
    EXPECT_FLOAT_EQ(r0.top, 0.55f + 2 * 0.25f);
    for (std::int16_t reich : {1, 2, 3}) {
        PlotWindow p = world_plot(reich);
        layout_frame(p, 0.3f, 0.55f);
        EXPECT_EQ(sx(p, 0), p.left);
        EXPECT_EQ(sy(p, 0), p.bottom);
        EXPECT_FLOAT_EQ(sx(p, p.xmax), p.right);
        EXPECT_FLOAT_EQ(sy(p, p.ymax), p.top);
        for (float w : {0.0f, 0.37f, 0.89f, p.xmax}) {
            EXPECT_NEAR(ad_from_surface(p, sx(p, w)), w, 1e-6);
            EXPECT_NEAR(eg_from_surface(p, sy(p, w)), w, 1e-6);
        }
    }
}

// The tick lines of one axis, long (major) and short (minor) ones.
struct Ticks {
    std::vector<Op> major, minor;
};
Ticks ticks(const RecordingSurface& s, bool x_axis) {
    std::vector<std::pair<float, Op>> all;
    float longest = 0;
    for (const Op& op : s.of(OpKind::line)) {
        if (x_axis ? op.x1 == op.x2 : op.y1 == op.y2) {
            all.emplace_back(std::hypot(op.x2 - op.x1, op.y2 - op.y1), op);
            longest = std::max(longest, all.back().first);
        }
    }
    Ticks t;
    for (const auto& [length, op] : all) {
        (length > 0.75f * longest ? t.major : t.minor).push_back(op);
    }
    return t;
}

TEST(Axes, LabelledMajorTicksFourMinorsAThickFrameAndTheLabelsPlaced) {
    RecordingSurface s;
    s.width = 7;
    PlotWindow plot = world_plot(1);
    AxisCaptions captions;
    draw_axes(s, 10, "Arial", captions, plot);
    const std::vector<std::string> one{"0.",  "0.1", "0.2", "0.3", "0.4", "0.5",
                                       "0.6", "0.7", "0.8", "0.9", "1.",  "1.1"};
    std::vector<std::string> both = one;
    both.insert(both.end(), one.begin(), one.end());
    EXPECT_EQ(s.texts(), both);
    const Ticks x = ticks(s, true), y = ticks(s, false);
    EXPECT_EQ(x.major.size(), 12u);
    EXPECT_EQ(x.minor.size(), 44u);
    EXPECT_EQ(y.minor.size(), 44u);
    const auto boxes = s.of(OpKind::box);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].pen_width, 3);
    EXPECT_EQ(boxes[0].x1, plot.left);
    EXPECT_EQ(boxes[0].y2, plot.top);
    for (const Op& op : s.drawn()) {
        EXPECT_EQ(op.pen_width, op.kind == OpKind::box ? 3 : 1);
    }
    EXPECT_EQ(s.pen_width(), 1);
    // Labels centred below their ticks on the AD axis, right-aligned left of them on EG.
    const auto labels = s.of(OpKind::text);
    const float h = 0.25f; // "H" at size 10
    for (std::size_t i = 0; i < 12; ++i) {
        const Op &lx = labels[i], &ly = labels[12 + i];
        EXPECT_FLOAT_EQ((lx.x1 + lx.x2) / 2, x.major[i].x1) << lx.text;
        EXPECT_FLOAT_EQ(lx.y1, x.major[i].y1 + h);
        EXPECT_FLOAT_EQ(ly.x1, y.major[i].x1 - 1.2f * (lx.x2 - lx.x1)) << ly.text;
        EXPECT_FLOAT_EQ(ly.y1, y.major[i].y1 - h / 2);
    }
    EXPECT_GT(x.major[0].y1, plot.bottom); // ticks hang below the frame
}

// 0.97 / 0.1 rounds to 10 intervals: the last major tick lies beyond the frame, and
// the minor ticks of the last interval stop at its edge (0.92, 0.94, 0.96).
TEST(Axes, MinorTicksStopAtTheFrameWhenMajorsOvershoot) {
    PlotWindow plot = world_plot(1);
    plot.xmax = plot.ymax = 0.97f;
    RecordingSurface s;
    AxisCaptions captions;
    draw_axes(s, 10, "Arial", captions, plot);
    const Ticks x = ticks(s, true), y = ticks(s, false);
    EXPECT_EQ(x.major.size(), 11u);
    EXPECT_GT(x.major.back().x1, plot.right);
    EXPECT_EQ(x.minor.size(), 9u * 4 + 3);
    EXPECT_EQ(y.minor.size(), 9u * 4 + 3);
    for (const Op& op : y.minor) {
        EXPECT_GE(op.y1, plot.top);
    }
}

} // namespace
} // namespace teravine
