// SPDX-License-Identifier: GPL-3.0-or-later
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

struct Ticks {
    std::vector<Op> major, minor;
};

// Tick lines of one axis: vertical ones for the AD axis, horizontal ones for the EG axis.
// Major ticks are the long ones, minor ticks half as long.
Ticks ticks(const RecordingSurface& s, bool x_axis) {
    std::vector<Op> all;
    for (const Op& op : s.of(OpKind::line)) {
        if (x_axis ? op.x1 == op.x2 : op.y1 == op.y2) {
            all.push_back(op);
        }
    }
    const auto length = [](const Op& op) { return std::hypot(op.x2 - op.x1, op.y2 - op.y1); };
    float longest = 0;
    for (const Op& op : all) {
        longest = std::max(longest, length(op));
    }
    Ticks t;
    for (const Op& op : all) {
        (length(op) > 0.75f * longest ? t.major : t.minor).push_back(op);
    }
    return t;
}

struct Drawn {
    RecordingSurface surface;
    PlotWindow plot;
    AxisCaptions captions;
};

Drawn axes_of(std::int16_t reich, AxisCaptions captions = {}) {
    Drawn d{{}, world_plot(reich), captions};
    draw_axes(d.surface, 10, "Arial", d.captions, d.plot);
    return d;
}

const std::vector<std::string> kLabelsR0 = {"0.",  "0.1", "0.2", "0.3", "0.4", "0.5",
                                            "0.6", "0.7", "0.8", "0.9", "1.",  "1.1"};

TEST(Axes, R0HasTwelveLabelledMajorTicksAndFourMinorsPerIntervalOnEachAxis) {
    const Drawn d = axes_of(1);
    std::vector<std::string> both = kLabelsR0;
    both.insert(both.end(), kLabelsR0.begin(), kLabelsR0.end());
    EXPECT_EQ(d.surface.texts(), both);
    for (bool x_axis : {true, false}) {
        const Ticks t = ticks(d.surface, x_axis);
        EXPECT_EQ(t.major.size(), 12u);
        EXPECT_EQ(t.minor.size(), 44u);
    }
}

TEST(Axes, FrameIsAThickBoxEverythingElseIsThin) {
    RecordingSurface s;
    s.width = 7;
    PlotWindow plot = world_plot(1);
    AxisCaptions captions;
    draw_axes(s, 10, "Arial", captions, plot);
    const auto boxes = s.of(OpKind::box);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].pen_width, 3);
    EXPECT_EQ(boxes[0].x1, plot.left);
    EXPECT_EQ(boxes[0].y1, plot.bottom);
    EXPECT_EQ(boxes[0].x2, plot.right);
    EXPECT_EQ(boxes[0].y2, plot.top);
    for (const Op& op : s.drawn()) {
        if (op.kind != OpKind::box) {
            EXPECT_EQ(op.pen_width, 1);
        }
    }
    EXPECT_EQ(s.pen_width(), 1);
    EXPECT_EQ(s.font_name(), "Arial");
    EXPECT_EQ(s.font_size(), 10);
}

TEST(Axes, MinorTicksStopAtRightAndTopWhenMajorsOvershoot) {
    // 0.97 / 0.1 rounds to 10 intervals: the last major tick lies beyond the frame, and
    // the minor ticks of the last interval stop at its edge.
    PlotWindow plot = world_plot(1);
    plot.xmax = plot.ymax = 0.97f;
    RecordingSurface s;
    AxisCaptions captions;
    draw_axes(s, 10, "Arial", captions, plot);
    const Ticks x = ticks(s, true);
    const Ticks y = ticks(s, false);
    EXPECT_EQ(x.major.size(), 11u);
    EXPECT_GT(x.major.back().x1, plot.right);
    EXPECT_LT(y.major.back().y1, plot.top);
    EXPECT_EQ(x.minor.size(), 9u * 4 + 3); // 0.92, 0.94, 0.96 in the last interval
    EXPECT_EQ(y.minor.size(), 9u * 4 + 3);
    for (const Op& op : x.minor) {
        EXPECT_LE(op.x1, plot.right);
    }
    for (const Op& op : y.minor) {
        EXPECT_GE(op.y1, plot.top);
    }
}

TEST(Axes, TickLabelsAreCentredBelowAndRightAlignedLeftOfTheirTicks) {
    const Drawn d = axes_of(1);
    const auto labels = d.surface.of(OpKind::text);
    const Ticks x = ticks(d.surface, true);
    const Ticks y = ticks(d.surface, false);
    const float h = 0.25f; // "H" in size 10
    for (std::size_t i = 0; i < 12; ++i) {
        const Op& lx = labels[i];
        const float tick_end = x.major[i].y1; // below the axis
        EXPECT_FLOAT_EQ((lx.x1 + lx.x2) / 2, x.major[i].x1) << lx.text;
        EXPECT_FLOAT_EQ(lx.y1, tick_end + h);

        const Op& ly = labels[12 + i];
        const float w = lx.x2 - lx.x1;
        const float tick_left = y.major[i].x1;
        EXPECT_FLOAT_EQ(ly.x1, tick_left - 1.2f * w) << ly.text;
        EXPECT_FLOAT_EQ(ly.y1, y.major[i].y1 - h / 2);
    }
    EXPECT_GT(x.major[0].y1, d.plot.bottom); // ticks hang below the frame
    EXPECT_LT(y.major[0].x1, d.plot.left);   // and stick out left of it
}

} // namespace
} // namespace teravine
