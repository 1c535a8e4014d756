// SPDX-License-Identifier: GPL-3.0-or-later
// The whole diagram and the polylines it is made of.
#include "diagram/draw_diagram.h"
#include "diagram/polyline.h"
#include "fixtures.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace teravine {
namespace {

// Two-point lines in every family; odd %S lines and the first Nfp line are never drawn.
ConstLines hand_grids() {
    ConstLines g;
    const std::int16_t n_values[] = {7, 10, 14, 20, 30, 40, 60, 80, 120, 200};
    for (std::size_t i = 1; i <= 16; ++i) {
        const float f = static_cast<float>(i);
        if (i <= 10) {
            g.val_n[i] = n_values[i - 1];
            g.n[i] = make_line({{0.3f, 0.02f * f}, {0.6f, 0.03f * f}});
        }
        if (i <= 12) {
            g.val_s[i] = 0.01f * f;
            g.s[i] = make_line({{0.2f + 0.05f * f, 0.1f}, {0.25f + 0.05f * f, 0.2f}});
        }
        g.val_fp[i] = 1 / (f + 6);
        g.fp[i] = make_line({{0.05f * f, 0.3f}, {0.05f * f, 0.35f}});
    }
    g.fp[1] = Line{};
    return g;
}

PlacedSample make_sample(float ad, float eg, const std::string& label) {
    PlacedSample p;
    p.record.iw_ad = ad;
    p.record.iw_eg = eg;
    p.record.label = label;
    p.line_k = make_line({{0.01f, 0.005f}, {0.5f, 0.25f}, {1.1f, 0.55f}});
    p.line_n = make_line({{ad, eg}, {ad + 0.1f, eg + 0.05f}});
    p.line_s = make_line({{0, 0}, {ad, eg}});
    p.line_fp = make_line({{0.1f, 0.05f}, {0.2f, 0.1f}});
    return p;
}

struct DiagramTest : ::testing::Test {
    Calibration cal = make_calibration(1);
    ConstLines grids = hand_grids();
    SampleList samples;
    RecordingSurface s;
    PlotWindow plot = world_plot(1);
    AxisCaptions captions;

    void draw(GridSwitches on, IdenticalSwitches identical = {}) {
        draw_diagram(s, plot, captions, DiagramContent{cal, grids, samples, on, identical});
    }
    // The texts after the 24 axis labels of R0, each with the last vertex drawn before it.
    std::vector<std::pair<Op, Op>> labels() const {
        std::vector<std::pair<Op, Op>> out;
        Op vertex;
        std::size_t texts = 0;
        for (const Op& op : s.ops) {
            if (op.kind == OpKind::point || op.kind == OpKind::line_to) {
                vertex = op;
            } else if (op.kind == OpKind::text && ++texts > 24) {
                out.emplace_back(op, vertex);
            }
        }
        return out;
    }
    std::vector<Colour> piece_colours() const {
        std::vector<Colour> out;
        for (const Piece& p : s.pieces()) {
            if (out.empty() || out.back() != p.colour) {
                out.push_back(p.colour);
            }
        }
        return out;
    }
};

TEST_F(DiagramTest, StartUpShowsTheFiveKCurvesLabelledAtTheirEnds) {
    draw(GridSwitches{});
    std::vector<std::string> texts;
    for (const auto& [text, vertex] : labels()) {
        texts.push_back(text.text);
        EXPECT_EQ(text.colour, kColourK);
        EXPECT_EQ(text.x1, vertex.x2) << text.text;
        EXPECT_EQ(text.y1, vertex.y2) << text.text;
        EXPECT_EQ(text.font_size, 10); // the axis font
    }
    EXPECT_EQ(texts, (std::vector<std::string>{" k 0", " k .5", " k 1", " k 2", " k 3"}));
    EXPECT_EQ(s.pieces()[0].vertices.size(), 110u); // the diagonal k = 0 lies wholly inside
}

TEST_F(DiagramTest, FamiliesThenSamplesEachWithItsIdenticalLinesInOrder) {
    samples.push_back(make_sample(0.5f, 0.4f, "first"));
    samples.push_back(make_sample(0.8f, 0.3f, "second"));
    draw(GridSwitches{true, true, true, true});
    EXPECT_EQ(piece_colours(),
              (std::vector<Colour>{kColourK, kColourN, kColourS, kColourFp, kColourSample}));
    s.forget();
    draw(GridSwitches{false, false, false, false}, IdenticalSwitches{true, true, true, true});
    EXPECT_EQ(piece_colours(),
              (std::vector<Colour>{kColourSample, kColourN, kColourK, kColourS, kColourFp,
                                   kColourSample, kColourN, kColourK, kColourS, kColourFp}));
    // Each sample a thick dot with its label in Arial 8 at the dot.
    const auto dots = s.of(OpKind::point);
    const auto texts = labels();
    ASSERT_EQ(texts.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const Op& dot = dots[i * 5];
        EXPECT_EQ(dot.x1, sx(plot, samples[i].record.iw_ad));
        EXPECT_EQ(dot.y1, sy(plot, samples[i].record.iw_eg));
        EXPECT_EQ(dot.pen_width, 5);
        EXPECT_EQ(texts[i].first.text, samples[i].record.label);
        EXPECT_EQ(texts[i].first.x1, dot.x1);
        EXPECT_EQ(texts[i].first.font_name, "Arial");
        EXPECT_EQ(texts[i].first.font_size, 8);
    }
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
    EXPECT_TRUE(labels()[0].first.bold); // k labels keep the surface's bold state
    EXPECT_EQ(s.fore_color(), 0x445566u);
    EXPECT_EQ(s.font_name(), "Courier");
    EXPECT_EQ(s.font_size(), 9);
    EXPECT_TRUE(s.font_bold());
    EXPECT_EQ(s.pen_width(), 4);
}

// Drawn in copy-pen and the family's colour, both put back; a line leaving the frame
// is cut and a new piece starts where it returns; a count beyond the points stops there.
TEST(DrawPolyline, CutAtTheFrameAndDrawnInItsColour) {
    PlotWindow plot = laid_out_r0();
    RecordingSurface s;
    s.colour = 0x123456;
    s.mode = 6;
    const Line line = make_line(
        {{0.1f, 0.1f}, {0.2f, 0.2f}, {0.3f, 1.5f}, {1.2f, 0.4f}, {0.4f, 0.4f}, {0.5f, 0.5f}});
    EXPECT_TRUE(draw_polyline(1, s, plot, line, 110, kColourFp));
    const auto pieces = s.pieces();
    ASSERT_EQ(pieces.size(), 2u);
    ASSERT_EQ(pieces[1].vertices.size(), 2u);
    EXPECT_NEAR(ad_from_surface(plot, pieces[1].vertices[0].x), 0.4f, 1e-6);
    EXPECT_NEAR(eg_from_surface(plot, pieces[1].vertices[1].y), 0.5f, 1e-6);
    EXPECT_EQ(s.of(OpKind::line_to).size(), 2u); // no segment bridges the gap
    for (const Op& op : s.drawn()) {
        EXPECT_EQ(op.colour, kColourFp);
        EXPECT_EQ(op.draw_mode, kDrawModeCopyPen);
    }
    EXPECT_EQ(s.fore_color(), 0x123456u);
    EXPECT_EQ(s.draw_mode(), 6);
    EXPECT_EQ(s.current_x(), sx(plot, 0.5f)); // labels go at the last vertex
}

TEST(DrawPolyline, ALineWithNoVertexInsideShowsAsOnePointAtItsLastVertex) {
    PlotWindow plot = laid_out_r0();
    for (const Line& line : {make_line({{0.2f, 1.3f}, {0.6f, 1.5f}}), make_line({{-0.3f, 0.2f}})}) {
        RecordingSurface s;
        draw_polyline(1, s, plot, line, 3, kColourS);
        const auto points = s.of(OpKind::point);
        ASSERT_EQ(points.size(), 1u);
        EXPECT_EQ(points[0].x1, sx(plot, line.points.back().ad));
        EXPECT_EQ(points[0].y1, sy(plot, line.points.back().eg));
        EXPECT_TRUE(s.of(OpKind::line_to).empty());
    }
}

} // namespace
} // namespace teravine
