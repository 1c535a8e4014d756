// SPDX-License-Identifier: GPL-3.0-or-later
// The frame and its transforms, the axes, the whole diagram and its polylines, and the
// figures of a CIS calibration and of a thickness analysis.
#include "diagram/axes.h"
#include "diagram/cis_drawing.h"
#include "diagram/diagram_picture.h"
#include "diagram/draw_diagram.h"
#include "diagram/figure_caption.h"
#include "diagram/peak_drawing.h"
#include "diagram/polyline.h"
#include "diagram/thickness_drawing.h"
#include "fixtures.h"
#include "identify/identify_point.h"
#include "lines/const_lines.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace teravine {
namespace {

// Every grid family as the menus compute it.
ConstLines all_grids(const Calibration& cal) {
    ConstLines g;
    compute_const_n_lines(cal, g);
    compute_const_s_lines(cal, g);
    compute_const_fp_lines(cal, g);
    return g;
}

// A sample placed as a click places it, with its four lines.
PlacedSample sample_at(const Calibration& cal, float ad, float eg) {
    return *identify_point(cal, ad, eg).placed;
}

struct DiagramTest : ::testing::Test {
    Calibration cal = make_calibration(1);
    ConstLines grids = all_grids(cal);
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
    // The k rows 1 to 5 hold 0, 0.5, 1, 2 and 3, in the number text of the labels.
    EXPECT_EQ(texts, (std::vector<std::string>{" k 0", " k .5", " k 1", " k 2", " k 3"}));
    // The diagonal k = 0 lies wholly inside: all kCurvePoints of it.
    EXPECT_EQ(s.pieces()[0].vertices.size(), 110u);
}

TEST_F(DiagramTest, FamiliesThenSamplesEachWithItsIdenticalLinesInOrder) {
    samples.push_back(sample_at(cal, 0.5f, 0.4f));
    samples.push_back(sample_at(cal, 0.8f, 0.6f));
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

// On a surface that overwrites lines, a sample's N, %S or Nfp line that a later sample
// draws again is left out; the k line and everything else stay.
TEST_F(DiagramTest, ALineDrawnAgainLaterIsLeftOutWhereTheSurfaceOverwrites) {
    samples.push_back(sample_at(cal, 0.5f, 0.4f));
    samples.push_back(sample_at(cal, 0.8f, 0.6f));
    samples.push_back(sample_at(cal, 0.5f, 0.4f)); // the first one's lines again
    for (const bool overwrites : {false, true}) {
        s.forget();
        s.overwrites = overwrites;
        draw(GridSwitches{false, false, false, false}, IdenticalSwitches{true, true, true, true});
        const std::vector<Colour> first_sample{kColourSample, kColourK};
        const std::vector<Colour> every_line{kColourSample, kColourN, kColourK, kColourS,
                                             kColourFp};
        std::vector<Colour> want = overwrites ? first_sample : every_line;
        for (int i = 0; i < 2; ++i) {
            want.insert(want.end(), every_line.begin(), every_line.end());
        }
        EXPECT_EQ(piece_colours(), want) << overwrites;
    }
}

// A surface that draws the whole picture on a copy of itself as well, after its own run,
// the copy measuring text twice as wide: each run draws everything, with the lines left
// out once for both, and the layout and captions are those of the kept run.
struct TwoRunSurface : RecordingSurface {
    struct WideText : RecordingSurface {
        float text_width(const std::string& text) const override {
            return 2 * RecordingSurface::text_width(text);
        }
    };
    WideText copy;
    void draw_whole(std::size_t, const WholeDrawing& draw) override {
        draw(*this, true);
        draw(copy, false);
    }
};

TEST_F(DiagramTest, ASurfaceMayRunTheWholeDrawingMoreThanOnceAndKeepsOneLayout) {
    samples.push_back(sample_at(cal, 0.5f, 0.4f));
    samples.push_back(sample_at(cal, 0.5f, 0.4f));
    s.overwrites = true;
    draw(GridSwitches{true, true, true, true}, IdenticalSwitches{true, true, true, true});
    TwoRunSurface two;
    two.overwrites = true;
    PlotWindow two_plot = world_plot(1);
    AxisCaptions two_captions;
    draw_diagram(two, two_plot, two_captions,
                 DiagramContent{cal, grids, samples, GridSwitches{true, true, true, true},
                                IdenticalSwitches{true, true, true, true}});
    EXPECT_EQ(two_plot.left, plot.left);
    EXPECT_EQ(two_plot.top, plot.top);
    EXPECT_EQ(two_captions.x_left, captions.x_left);
    EXPECT_EQ(two.ops.size(), s.ops.size());
    EXPECT_EQ(two.copy.of(OpKind::text).size(), s.of(OpKind::text).size()); // it drew too
}

// The labels of the lines and samples (the texts after the 24 axis labels, before the
// axis captions a figure prints) that overlap another's, leave the picture of `units`
// right of the frame's left edge and above its bottom, or (a line's label) cover a dot.
std::size_t misplaced_labels(const RecordingSurface& s, std::size_t captions,
                             const PlotWindow& plot, float units) {
    const auto texts = s.of(OpKind::text);
    std::vector<LabelBox> boxes;
    std::size_t misplaced = 0;
    for (std::size_t i = 24; i + captions < texts.size(); ++i) {
        const Op& t = texts[i];
        boxes.push_back({t.x1, t.y1, t.x2 - t.x1, t.y2 - t.y1});
        for (const Op& dot : s.of(OpKind::point)) {
            misplaced += t.colour != kColourSample && dot.pen_width == 5 &&
                         boxes.back().overlaps({dot.x1, dot.y1, 0.001f, 0.001f});
        }
    }
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const LabelBox& b = boxes[i];
        misplaced +=
            b.x < plot.left || b.y < 0 || b.x + b.width > units || b.y + b.height > plot.bottom;
        for (std::size_t j = 0; j < boxes.size(); ++j) {
            misplaced += i != j && b.overlaps(boxes[j]) ? 1 : 0;
        }
    }
    return misplaced;
}

// The window's picture prints every label where its line or dot ends, overlapping on the
// example samples with every grid on; a figure lays them apart within the picture, a
// moved one with a line from its point, and ends R3's k curves at the frame, which fills
// as much of the picture as R0's.
TEST_F(DiagramTest, AFigureKeepsItsLabelsApartAndR3FillsThePicture) {
    const auto place = [](const Calibration& under, SampleList& list) {
        for (const auto& [ad, eg] : std::vector<std::pair<float, float>>{{0.6f, 0.5f},
                                                                         {0.45f, 0.4f},
                                                                         {0.8f, 0.62f},
                                                                         {0.3f, 0.28f},
                                                                         {0.7f, 0.25f},
                                                                         {0.55f, 0.55f},
                                                                         {0.08f, 0.07f},
                                                                         {0.95f, 0.7f},
                                                                         {0.46f, 0.41f},
                                                                         {0.89f, 0.64f}}) {
            if (auto found = identify_point(under, ad, eg).placed) {
                list.push_back(std::move(*found));
            }
        }
    };
    place(cal, samples);
    const GridSwitches every{true, true, true, true};
    draw(every);
    EXPECT_GT(misplaced_labels(s, 0, plot, 15), 0u);
    const std::size_t window_lines = s.of(OpKind::line).size();
    // A sample under the middle of a line's label that the model places: the label makes
    // way for its dot.
    for (const Op& op : s.of(OpKind::text)) {
        auto under = identify_point(cal, ad_from_surface(plot, (op.x1 + op.x2) / 2),
                                    eg_from_surface(plot, (op.y1 + op.y2) / 2))
                         .placed;
        if (op.colour != kColourSample && under) {
            samples.push_back(std::move(*under));
            break;
        }
    }
    s.forget();
    plot = world_plot(1);
    draw_diagram_picture(s, 800, DiagramContent{cal, grids, samples, every, {}}, plot, captions);
    EXPECT_EQ(misplaced_labels(s, 2, plot, 15), 0u);
    EXPECT_GT(s.of(OpKind::line).size(), window_lines); // the leader lines

    const Calibration r3 = make_calibration(3);
    const ConstLines r3_grids = all_grids(r3);
    SampleList r3_samples;
    place(r3, r3_samples);
    s.forget();
    plot = world_plot(3);
    draw_diagram_picture(s, 800, DiagramContent{r3, r3_grids, r3_samples, every, {}}, plot,
                         captions);
    const float units = 15.0f * 9 / 11;
    EXPECT_FLOAT_EQ(s.of(OpKind::set_user_scale)[0].x2, units);
    EXPECT_EQ(misplaced_labels(s, 2, plot, units), 0u);
    for (const Piece& piece : s.pieces()) {
        if (piece.colour == kColourK) {
            EXPECT_LE(piece.vertices.back().x, plot.right + 1e-4f);
        }
    }
}

// The caption names the rule and b that corrected the samples, not those in force since;
// a click was corrected with nothing. The legend says which sigma drew the ellipses.
TEST(FigureCaption, StatesWhatCorrectedTheSamplesAndWhatTheEllipsesAre) {
    struct Placed {
        bool measured;
        float broadening;
        std::int16_t rule;
        bool own_u;
    };
    const struct {
        std::vector<Placed> samples;
        std::string caption;
        std::string legend;
    } cases[] = {
        {{}, "Reichweite R0, rule Gauss, broadening .1486 °2θ, σ .02 °2θ", ""},
        {{{true, 0.1f, 2, false}, {false, 0, 0, false}},
         "Reichweite R0, rule Lorentz Gauss geometric mean, broadening .1 °2θ, σ .02 °2θ",
         "1σ region, σ .02 °2θ"},
        {{{true, 0.1f, 0, true}, {true, 0.12f, 0, false}},
         "Reichweite R0, rule Gauss, b varies, σ .02 °2θ",
         "1σ region of each sample's own u, else σ .02 °2θ"},
        {{{true, 0.1f, 0, true}, {true, 0.1f, 1, true}},
         "Reichweite R0, rule varies, broadening .1 °2θ, σ .02 °2θ",
         "1σ region of each sample's own u"},
    };
    const Calibration cal = make_calibration(1);
    for (const auto& c : cases) {
        SampleList samples;
        for (const Placed& p : c.samples) {
            PlacedSample& placed = samples.emplace_back(sample_at(cal, 0.5f, 0.4f));
            placed.origin.measured = p.measured;
            placed.origin.broadening = p.broadening;
            placed.origin.rule = p.rule;
            placed.origin.u_ad = p.own_u ? std::optional(0.01f) : std::nullopt;
            placed.uncertainty = WidthUncertainty{};
        }
        EXPECT_EQ(figure_caption("R0", samples, {0, 0.1486f}, 0.02f), c.caption);
        EXPECT_EQ(ellipse_legend(samples, 1, 0.02f, 0.02f).value_or(""), c.legend);
    }
}

TEST_F(DiagramTest, AxesUseTheSurfaceColourAndTheEndRestoresPenWidthAndTextStyle) {
    s.colour = 0x445566;
    s.font = "Courier";
    s.size = 9;
    s.bold = true;
    s.width = 4;
    samples.push_back(sample_at(cal, 0.5f, 0.4f));
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

TEST(LayoutFrame, ElevenUnitsSquareAndTransformsThatMeetAtTheCorners) {
    PlotWindow r0 = laid_out_r0();
    EXPECT_FLOAT_EQ(r0.right - r0.left, 11);
    EXPECT_FLOAT_EQ(r0.bottom - r0.top, 11);
    // 0.1 x width plus 1.1 caption widths; 0.05 x height plus two caption heights, with
    // R0's window of 11 units and laid_out_r0's caption of 0.4 by 0.25.
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
    // R0's window: 0 to 1.1 in steps of 0.1, five minor intervals a step.
    EXPECT_EQ(s.texts(), both);
    const Ticks x = ticks(s, true), y = ticks(s, false);
    EXPECT_EQ(x.major.size(), 12u);
    EXPECT_EQ(x.minor.size(), 44u); // four in each of the 11 steps
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
    const float h = 0.25f; // "H" at size 10, as RecordingSurface measures it
    for (std::size_t i = 0; i < 12; ++i) {
        const Op &lx = labels[i], &ly = labels[12 + i];
        EXPECT_FLOAT_EQ((lx.x1 + lx.x2) / 2, x.major[i].x1) << lx.text;
        EXPECT_FLOAT_EQ(lx.y1, x.major[i].y1 + h);
        EXPECT_FLOAT_EQ(ly.x1, y.major[i].x1 - 1.2f * (lx.x2 - lx.x1)) << ly.text;
        EXPECT_FLOAT_EQ(ly.y1, y.major[i].y1 - h / 2);
    }
    EXPECT_GT(x.major[0].y1, plot.bottom); // ticks hang below the frame
}

// A read-out wider than its panel goes on as many lines as it needs, every one inside the
// panel, and nothing of it is lost.
TEST(PeakPanel, AReadOutWiderThanThePanelWrapsInsideIt) {
    const std::string readout =
        "position 8.8000\u00B0   FWHM 0.4500\u00B0   breadth 0.5210\u00B0   u(FWHM) 0.0011\u00B0";
    const struct {
        double right;
        std::size_t lines;
    } cases[] = {{200, 1}, {59.5, 2}, {57.7, 4}};
    for (const auto& c : cases) {
        RecordingSurface surface;
        PeakPanel panel;
        panel.title = "AD";
        panel.readout = readout;
        draw_peak_panel(surface, panel, PlotArea{0, 0, c.right, 200});
        std::vector<std::string> lines;
        for (const Op& op : surface.ops) {
            if (op.kind == OpKind::text && op.text != "AD") {
                lines.push_back(op.text);
                EXPECT_LE(op.x2, c.right) << op.text;
            }
        }
        ASSERT_EQ(lines.size(), c.lines) << c.right;
        std::string joined = lines.front();
        for (std::size_t i = 1; i < lines.size(); ++i) {
            joined += "   " + lines[i];
        }
        EXPECT_EQ(joined, readout);
    }
}

// A calibration's figure draws the zone limits that judge its index: the Kübler index's
// schemes for it, and for an Árkai calibration only a laboratory's own.
TEST(CisFigure, DrawsOnlyTheLimitsThatJudgeItsIndex) {
    const std::vector<CisStandard> standards{
        {"A", 0.25, 0, 0.26}, {"B", 0.4, 0, 0.39}, {"C", 0.6, 0, 0.62}};
    for (const auto& [index, limits, stated] :
         {std::tuple{CisIndex::kubler, default_zone_limits(), "anchizone 0.32–0.52 (2015)"},
          {CisIndex::arkai, default_zone_limits(), "no zone limits"},
          {CisIndex::arkai, *parse_zone_limits("0.28:0.35"), "anchizone 0.28–0.35 (own)"}}) {
        RecordingSurface s;
        draw_cis_figure(s, *fit_cis(standards, index, "half-height"), limits,
                        {0, 0, kCisFigureWidth, kCisFigureHeight});
        const auto texts = s.texts();
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const std::string& t) {
            return t.rfind(stated, 0) == 0;
        })) << stated;
        const auto lines = s.of(OpKind::line);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const Op& op) { return op.colour == 0x30A030; }), // limits
                  std::string(stated) == "no zone limits" ? 0 : 2)
            << stated;
    }
}

// A range with a peak is shown with a margin; a range away from the peak (nothing
// measured) shows the whole pattern, so the peak can be found and the range dragged to it.
TEST(PeakPanel, ARangeWithoutAPeakShowsTheWholePattern) {
    Pattern pattern;
    for (int i = 0; i <= 280; ++i) {
        pattern.two_theta.push_back(2 + 0.1 * i);
        pattern.counts.push_back(100);
    }
    for (const bool measured : {true, false}) {
        RecordingSurface surface;
        PeakPanel panel;
        panel.pattern = &pattern;
        panel.range_lo = 20;
        panel.range_hi = 24;
        if (measured) {
            panel.width = PeakWidth{};
        }
        const PeakPlot plot = draw_peak_panel(surface, panel, PlotArea{0, 0, 460, 356});
        EXPECT_EQ(plot.view.lo, measured ? 19.0 : 2.0);
        EXPECT_EQ(plot.view.hi, measured ? 25.0 : 30.0);
    }
}

// The thickness figure cuts long file names to its width, and its bars reach from the zero
// line to their shares exactly, their ends' rounding within them; those the series' end
// decides are hollow.
TEST(ThicknessFigure, NamesWithinItsWidthAndBarsTrueToTheirShares) {
    ThicknessFigure figure{std::string(12000, 's'), std::string(12000, 'g'), {}};
    ThicknessResult& r = figure.result;
    r.mean_layers = 4;
    r.spacing = 10;
    r.coefficients = {1, 0.75, 0.5, 0.3, 0.15, 0.05};
    r.distribution.fraction = {0, 0.2, 0.3, 0.3, 0.2};
    r.end_layers = 5;
    r.end_share = 0.2;
    RecordingSurface s;
    const PlotArea whole{0, 0, kThicknessFigureWidth, kThicknessFigureHeight};
    draw_thickness_figure(s, figure, whole);
    for (const Op& op : s.of(OpKind::text)) {
        EXPECT_LE(op.x2, whole.right) << op.text.substr(0, 40);
    }
    std::vector<Op> hollow, filled;
    for (const Op& op : s.ops) {
        if (op.colour == 0x909090 && op.kind == OpKind::box) {
            hollow.push_back(op);
        } else if (op.colour == 0x909090 && op.kind == OpKind::line) {
            filled.push_back(op);
        }
    }
    ASSERT_EQ(hollow.size(), 1U); // the bar of 5 layers, a share of 0.2
    const float zero = std::max(hollow[0].y1, hollow[0].y2);
    const float unit = (zero - std::min(hollow[0].y1, hollow[0].y2)) / 0.2f;
    ASSERT_FALSE(filled.empty());
    for (const Op& op : filled) {
        const float half = static_cast<float>(op.pen_width) / 2;
        EXPECT_NEAR(std::max(op.y1, op.y2) + half, zero, 1e-3);
        const float share = (zero - (std::min(op.y1, op.y2) - half)) / unit;
        EXPECT_TRUE(std::abs(share - 0.2f) < 1e-3 || std::abs(share - 0.3f) < 1e-3) << share;
    }
}

} // namespace
} // namespace teravine
