// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/polyline.h"
#include "fixtures.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

#include <vector>

namespace teravine {
namespace {

constexpr Colour kBefore = 0x123456;
constexpr int kModeBefore = 6;

struct PolylineTest : ::testing::Test {
    PlotWindow plot = laid_out_r0();
    RecordingSurface s;
    PolylineTest() {
        s.colour = kBefore;
        s.mode = kModeBefore;
    }

    // The vertices drawn, piece by piece, in widths.
    std::vector<std::vector<LinePoint>> drawn_pieces() const {
        std::vector<std::vector<LinePoint>> out;
        for (const Piece& piece : s.pieces()) {
            out.emplace_back();
            for (const auto& v : piece.vertices) {
                out.back().push_back({ad_from_surface(plot, v.x), eg_from_surface(plot, v.y)});
            }
        }
        return out;
    }
};

void expect_vertices(const std::vector<LinePoint>& got, const std::vector<LinePoint>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].ad, want[i].ad, 1e-6) << "vertex " << i;
        EXPECT_NEAR(got[i].eg, want[i].eg, 1e-6) << "vertex " << i;
    }
}

TEST_F(PolylineTest, DrawsInCopyPenAndColourThenPutsBothBack) {
    const Line line = make_line({{0.1f, 0.1f}, {0.2f, 0.3f}, {0.4f, 0.35f}});
    EXPECT_TRUE(draw_polyline(1, s, plot, line, 3, kColourN));
    const auto pieces = drawn_pieces();
    ASSERT_EQ(pieces.size(), 1u);
    expect_vertices(pieces[0], line.points);
    for (const Op& op : s.drawn()) {
        EXPECT_EQ(op.colour, kColourN);
        EXPECT_EQ(op.draw_mode, kDrawModeCopyPen);
    }
    EXPECT_EQ(s.fore_color(), kBefore);
    EXPECT_EQ(s.draw_mode(), kModeBefore);
    EXPECT_EQ(s.current_x(), sx(plot, 0.4f)); // labels go at the last vertex
    EXPECT_EQ(s.current_y(), sy(plot, 0.35f));
}

TEST_F(PolylineTest, LeavingTheFrameCutsTheLineAndReturningStartsANewPiece) {
    const Line line = make_line(
        {{0.1f, 0.1f}, {0.2f, 0.2f}, {0.3f, 1.5f}, {1.2f, 0.4f}, {0.4f, 0.4f}, {0.5f, 0.5f}});
    draw_polyline(1, s, plot, line, 6, kColourFp);
    const auto pieces = drawn_pieces();
    ASSERT_EQ(pieces.size(), 2u);
    expect_vertices(pieces[0], {{0.1f, 0.1f}, {0.2f, 0.2f}});
    expect_vertices(pieces[1], {{0.4f, 0.4f}, {0.5f, 0.5f}});
    EXPECT_EQ(s.of(OpKind::line_to).size(), 2u); // no segment bridges the gap
}

TEST_F(PolylineTest, LineWithNoStartingVertexShowsAsOnePointAtItsLastVertex) {
    const Line above = make_line({{0.2f, 1.3f}, {0.4f, 1.4f}, {0.6f, 1.5f}});
    draw_polyline(1, s, plot, above, 3, kColourS);
    const auto points = s.of(OpKind::point);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].x1, sx(plot, 0.6f));
    EXPECT_EQ(points[0].y1, sy(plot, 1.5f));
    EXPECT_TRUE(s.of(OpKind::line_to).empty());

    s.forget();
    const Line single = make_line({{-0.3f, 0.2f}});
    draw_polyline(1, s, plot, single, 1, kColourS);
    ASSERT_EQ(s.of(OpKind::point).size(), 1u);
    EXPECT_EQ(s.of(OpKind::point)[0].x1, sx(plot, -0.3f));
}

TEST_F(PolylineTest, CountBeyondThePointsHeldStopsAtTheLastPoint) {
    const Line line = make_line({{0.1f, 0.1f}, {0.2f, 0.15f}});
    draw_polyline(1, s, plot, line, 110, kColourK);
    ASSERT_EQ(drawn_pieces().size(), 1u);
    EXPECT_EQ(drawn_pieces()[0].size(), 2u);
}

} // namespace
} // namespace teravine
