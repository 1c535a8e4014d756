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

TEST_F(DiagramTest, R3KCurvesAreDrawnWith110PointsAndCutAtTheFrame) {
    cal.reich = 3; // after R0, as at run time: points 91..110 still hold R0 values
    load_reich(cal, plot);
    axis_labels = 20;
    draw(GridSwitches{});
    std::size_t vertices = 0;
    for (const Piece& p : pieces_in(kColourK)) {
        for (const auto& v : p.vertices) {
            EXPECT_LE(v.x, plot.right);
            ++vertices;
        }
    }
    EXPECT_GT(vertices, 0u);
    const auto labels = labels_after_axes();
    ASSERT_EQ(labels.size(), 5u);
    EXPECT_EQ(labels[0].op.text, " k 0");
    EXPECT_FLOAT_EQ(labels[0].op.x1, plot.right); // k = 0 ends at the top-right corner
    EXPECT_FLOAT_EQ(labels[0].op.y1, plot.top);
}

TEST_F(DiagramTest, WithAllGridsOffOnlyFrameAxesAndSamplesAreDrawn) {
    s.colour = 0x0A0B0C;
    samples.push_back(make_sample(0.5f, 0.4f, "N: 24"));
    draw(kNoGrids);
    EXPECT_EQ(texts_after_axes(), std::vector<std::string>{"N: 24"});
    for (const Op& op : s.drawn()) {
        EXPECT_TRUE(op.colour == 0x0A0B0C || op.colour == kColourSample) << op.colour;
    }
    EXPECT_EQ(s.of(OpKind::point).size(), 1u);
    EXPECT_EQ(s.of(OpKind::line_to).size(), 0u);
}

TEST_F(DiagramTest, ConstantNLinesTwoToTenInPenTwoEachLabelledAtItsEnd) {
    draw(GridSwitches{false, true, false, false});
    const auto n = pieces_in(kColourN);
    ASSERT_EQ(n.size(), 9u);
    for (const Piece& p : n) {
        EXPECT_EQ(p.pen_width, 2);
    }
    EXPECT_FLOAT_EQ(n[0].vertices[0].y, sy(plot, 0.04f)); // line 2, not line 1
    EXPECT_EQ(texts_after_axes(),
              (std::vector<std::string>{"N= 10", "N= 14", "N= 20", "N= 30", "N= 40", "N= 60",
                                        "N= 80", "N= 120", "N= 200"}));
    for (const Label& l : labels_after_axes()) {
        EXPECT_EQ(l.op.colour, kColourN);
        EXPECT_EQ(l.op.font_name, "Arial");
        EXPECT_EQ(l.op.font_size, 10);
        EXPECT_FALSE(l.op.bold);
        EXPECT_EQ(l.op.x1, l.anchor_x);
        EXPECT_EQ(l.op.y1, l.anchor_y);
    }
}

TEST_F(DiagramTest, AnNLineWithoutPointsIsNeitherDrawnNorLabelled) {
    grids.n[10].count = 0;
    draw(GridSwitches{false, true, false, false});
    EXPECT_EQ(pieces_in(kColourN).size(), 8u);
    EXPECT_EQ(texts_after_axes().back(), "N= 120");
}

TEST_F(DiagramTest, ConstantSLinesEvenTwoToTwelveLabelledUpAndRightWhenLongerThanOnePoint) {
    draw(GridSwitches{false, false, true, false});
    const auto lines = pieces_in(kColourS);
    ASSERT_EQ(lines.size(), 6u); // line 12 as a single point
    EXPECT_EQ(lines.back().vertices.size(), 1u);
    EXPECT_EQ(texts_after_axes(),
              (std::vector<std::string>{"%S=2.00", "%S=4.00", "%S=6.00", "%S=8.00", "%S=10.00"}));
    for (const Label& l : labels_after_axes()) {
        EXPECT_EQ(l.op.colour, kColourS);
        EXPECT_EQ(l.op.font_size, 10);
        EXPECT_FLOAT_EQ(l.op.x1, l.anchor_x + 0.5f);  // width of "mystr"
        EXPECT_FLOAT_EQ(l.op.y1, l.anchor_y - 0.25f); // height of "H"
    }
}

TEST_F(DiagramTest, NfpLinesOneToFourteenLabelledUpAndLeftLineOneDrawsNothing) {
    draw(GridSwitches{false, false, false, true});
    const auto lines = pieces_in(kColourFp);
    ASSERT_EQ(lines.size(), 13u); // lines 2..14; no stray point at the frame corner
    EXPECT_FLOAT_EQ(lines[0].vertices[0].x, sx(plot, 0.1f));
    std::vector<std::string> want;
    for (int nfp = 8; nfp <= 20; ++nfp) {
        want.push_back(nfp < 10 ? "Nfp=0" + std::to_string(nfp) : "Nfp=" + std::to_string(nfp));
    }
    EXPECT_EQ(texts_after_axes(), want);
    for (const Label& l : labels_after_axes()) {
        EXPECT_EQ(l.op.colour, kColourFp);
        EXPECT_FLOAT_EQ(l.op.x1, l.anchor_x - 0.5f);
        EXPECT_FLOAT_EQ(l.op.y1, l.anchor_y - 0.25f);
    }
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

TEST_F(DiagramTest, EachIdenticalSwitchDrawsItsLineForEverySampleInPenOne) {
    struct Case {
        IdenticalSwitches on;
        Colour colour;
        std::size_t vertices;
    };
    const Case cases[] = {{{true, false, false, false}, kColourK, 110},
                          {{false, true, false, false}, kColourN, 3},
                          {{false, false, true, false}, kColourS, 2},
                          {{false, false, false, true}, kColourFp, 4}};
    samples.push_back(make_sample(0.5f, 0.4f, "first"));
    samples.push_back(make_sample(0.8f, 0.3f, "second"));
    samples[1].line_k.count = 0; // the k line is always drawn with 110 points
    for (const Case& c : cases) {
        s.forget();
        draw(kNoGrids, c.on);
        const auto pieces = s.pieces();
        ASSERT_EQ(pieces.size(), 4u); // dot, line, dot, line
        for (std::size_t i : {1u, 3u}) {
            EXPECT_EQ(pieces[i].colour, c.colour);
            EXPECT_EQ(pieces[i].pen_width, 1);
            EXPECT_EQ(pieces[i].vertices.size(), c.vertices);
        }
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
