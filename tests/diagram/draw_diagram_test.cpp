// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/draw_diagram.h"
#include "diagram/text_style.h"
#include "fixtures.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace teravine {
namespace {

ConstLines hand_grids() {
    ConstLines g;
    const std::int16_t n_values[] = {7, 10, 14, 20, 30, 40, 60, 80, 120, 200};
    for (std::size_t i = 1; i <= 10; ++i) {
        const float f = static_cast<float>(i);
        g.val_n[i] = n_values[i - 1];
        g.n[i] = make_line({{0.3f, 0.02f * f}, {0.6f, 0.03f * f}});
    }
    const float s_values[] = {0.02f, 0.04f, 0.06f, 0.08f, 0.1f, 0.14f};
    g.s[1] = make_line({{0.1f, 0.1f}, {0.2f, 0.1f}}); // never drawn: odd line
    for (std::size_t i = 2; i <= 12; i += 2) {
        const float f = static_cast<float>(i);
        g.val_s[i] = s_values[i / 2 - 1];
        g.s[i] = make_line({{0.2f + 0.05f * f, 0.1f}, {0.25f + 0.05f * f, 0.2f}});
    }
    g.s[12].count = 1;
    for (std::size_t i = 2; i <= 16; ++i) {
        const float f = static_cast<float>(i);
        g.val_fp[i] = 1 / (f + 6); // Nfp 8, 9, ...
        g.fp[i] = make_line({{0.05f * f, 0.3f}, {0.05f * f, 0.35f}});
    }
    return g; // fp line 1 holds no points, as after "Approx. constant Nfp"
}

PlacedSample make_sample(float ad, float eg, const std::string& label) {
    PlacedSample p;
    p.record.iw_ad = ad;
    p.record.iw_eg = eg;
    p.record.label = label;
    for (int j = 1; j <= 110; ++j) {
        p.line_k.points.push_back({static_cast<float>(j / 100.0), static_cast<float>(j / 200.0)});
    }
    p.line_k.count = 110;
    p.line_n = make_line({{ad, eg}, {ad + 0.1f, eg + 0.05f}, {ad + 0.2f, eg + 0.1f}});
    p.line_s = make_line({{0, 0}, {ad, eg}});
    p.line_fp = make_line({{0.1f, 0.05f}, {0.2f, 0.1f}, {0.3f, 0.15f}, {0.4f, 0.2f}});
    return p;
}

// A printed text with the last vertex drawn before it, where line labels are anchored.
struct Label {
    Op op;
    float anchor_x = 0, anchor_y = 0;
};

struct DiagramTest : ::testing::Test {
    Calibration cal = make_calibration(1);
    ConstLines grids = hand_grids();
    SampleList samples;
    RecordingSurface s;
    PlotWindow plot = world_plot(1);
    AxisCaptions captions;
    std::size_t axis_labels = 24; // R0: 12 per axis

    void draw(GridSwitches on, IdenticalSwitches identical = {}) {
        draw_diagram(s, plot, captions, DiagramContent{cal, grids, samples, on, identical});
    }

    std::vector<Label> labels_after_axes() const {
        std::vector<Label> out;
        float x = 0, y = 0;
        std::size_t texts = 0;
        for (const Op& op : s.ops) {
            if (op.kind == OpKind::point || op.kind == OpKind::line_to) {
                x = op.x2;
                y = op.y2;
            } else if (op.kind == OpKind::text && ++texts > axis_labels) {
                out.push_back({op, x, y});
            }
        }
        return out;
    }
    std::vector<std::string> texts_after_axes() const {
        const auto all = s.texts();
        return {all.begin() + static_cast<std::ptrdiff_t>(axis_labels), all.end()};
    }
    std::vector<Piece> pieces_in(Colour colour) const {
        std::vector<Piece> out;
        for (const Piece& p : s.pieces()) {
            if (p.colour == colour) {
                out.push_back(p);
            }
        }
        return out;
    }
};

constexpr GridSwitches kNoGrids{false, false, false, false};

TEST_F(DiagramTest, StartUpShowsTheFiveKCurvesLabelledAtTheirEnds) {
    draw(GridSwitches{});
    EXPECT_EQ(texts_after_axes(),
              (std::vector<std::string>{" k 0", " k .5", " k 1", " k 2", " k 3"}));
    for (const Label& l : labels_after_axes()) {
        EXPECT_EQ(l.op.colour, kColourK);
        EXPECT_EQ(l.op.x1, l.anchor_x) << l.op.text;
        EXPECT_EQ(l.op.y1, l.anchor_y) << l.op.text;
        EXPECT_EQ(l.op.font_name, "Arial"); // the axis font
        EXPECT_EQ(l.op.font_size, 10);
    }
    const auto k = pieces_in(kColourK);
    ASSERT_FALSE(k.empty());
    EXPECT_EQ(k[0].vertices.size(), 110u); // the diagonal k = 0 lies wholly inside
    EXPECT_TRUE(captions.x_visible);
    EXPECT_FLOAT_EQ(plot.right - plot.left, 11);
}

TEST_F(DiagramTest, FamiliesComeInTheOrderKNSNfpThenSamples) {
    samples.push_back(make_sample(0.5f, 0.4f, "one"));
    draw(GridSwitches{true, true, true, true});
    std::vector<Colour> order;
    for (const Piece& p : s.pieces()) {
        if (order.empty() || order.back() != p.colour) {
            order.push_back(p.colour);
        }
    }
    EXPECT_EQ(order, (std::vector<Colour>{kColourK, kColourN, kColourS, kColourFp, kColourSample}));
}

TEST_F(DiagramTest, EachSampleIsAThickDotWithItsLabelInArialEight) {
    samples.push_back(make_sample(0.5f, 0.4f, "first"));
    samples.push_back(make_sample(0.8f, 0.3f, "second"));
    draw(kNoGrids);
    const auto dots = s.of(OpKind::point);
    const auto labels = labels_after_axes();
    ASSERT_EQ(dots.size(), 2u);
    ASSERT_EQ(labels.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& rec = samples[i].record;
        EXPECT_EQ(dots[i].x1, sx(plot, rec.iw_ad));
        EXPECT_EQ(dots[i].y1, sy(plot, rec.iw_eg));
        EXPECT_EQ(dots[i].pen_width, 5);
        EXPECT_EQ(dots[i].colour, kColourSample);
        EXPECT_EQ(labels[i].op.text, rec.label);
        EXPECT_EQ(labels[i].op.x1, dots[i].x1);
        EXPECT_EQ(labels[i].op.y1, dots[i].y1);
        EXPECT_EQ(labels[i].op.font_name, "Arial");
        EXPECT_EQ(labels[i].op.font_size, 8);
        EXPECT_FALSE(labels[i].op.bold);
    }
}

TEST_F(DiagramTest, IdenticalLinesOfASampleComeInTheOrderNKSNfp) {
    samples.push_back(make_sample(0.5f, 0.4f, "first"));
    draw(kNoGrids, IdenticalSwitches{true, true, true, true});
    std::vector<Colour> colours;
    for (const Piece& p : s.pieces()) {
        colours.push_back(p.colour);
    }
    EXPECT_EQ(colours,
              (std::vector<Colour>{kColourSample, kColourN, kColourK, kColourS, kColourFp}));
}

TEST_F(DiagramTest, AxesUseTheSurfaceColourAndTheEndRestoresPenWidthAndTextStyle) {
    s.colour = 0x445566;
    s.font = "Courier";
    s.size = 9;
    s.bold = true;
    s.width = 4;
    samples.push_back(make_sample(0.5f, 0.4f, "first"));
    draw(GridSwitches{true, true, true, true}, IdenticalSwitches{true, true, true, true});
    EXPECT_EQ(s.of(OpKind::box)[0].colour, 0x445566u);
    EXPECT_TRUE(labels_after_axes()[0].op.bold); // k labels keep the surface's bold state
    EXPECT_EQ(s.fore_color(), 0x445566u);
    EXPECT_EQ(s.font_name(), "Courier");
    EXPECT_EQ(s.font_size(), 9);
    EXPECT_TRUE(s.font_bold());
    EXPECT_EQ(s.pen_width(), 4);
    EXPECT_EQ(s.draw_mode(), kDrawModeCopyPen);
}

TEST(KeepTextStyle, ModeOneStoresAnyOtherModeRestoresInTheSpecifiedOrder) {
    RecordingSurface s;
    s.font = "Arial";
    s.size = 8.25f;
    s.colour = 0x112233;
    s.bold = true;
    TextStyle style;
    keep_text_style(1, style, s);
    EXPECT_TRUE(s.ops.empty()); // storing only reads
    EXPECT_EQ(style.font_size, 8.25f);
    EXPECT_EQ(style.font_name, "Arial");

    for (int mode : {0, 2}) {
        s.set_font_name("Courier");
        s.set_font_size(12);
        s.set_fore_color(0);
        s.set_font_bold(false);
        s.forget();
        keep_text_style(mode, style, s);
        std::vector<OpKind> kinds;
        for (const Op& op : s.ops) {
            kinds.push_back(op.kind);
        }
        EXPECT_EQ(kinds, (std::vector<OpKind>{OpKind::set_font_size, OpKind::set_font_bold,
                                              OpKind::set_fore_color, OpKind::set_font_size,
                                              OpKind::set_font_name}));
        EXPECT_EQ(s.font_name(), "Arial");
        EXPECT_EQ(s.font_size(), 8.25f);
        EXPECT_EQ(s.fore_color(), 0x112233u);
        EXPECT_TRUE(s.font_bold());
    }
}

} // namespace
} // namespace teravine
