// SPDX-License-Identifier: GPL-3.0-or-later
// The surface writes one-pixel segments straight into an image's pixels and holds other
// segments back to draw runs of them in one painter call; these tests compare its images
// with the same drawing done by Qt's engine alone.
#include "diagram/draw_diagram.h"
#include "identify/identify_point.h"
#include "lines/const_lines.h"
#include "model/calibration.h"
#include "model/polynomial.h"
#include "qt/painter_surface.h"
#include "qt/raster/hairline.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>

namespace teravine {
namespace {

// A diagram with everything on: the four grids and enough samples to be drawn in bands,
// with their four identical lines and labels, many sharing their N, %S or Nfp line (the
// window's picture leaves out what a later sample draws again; the engine's pixmap draws
// every line).
class FullDiagram : public ::testing::TestWithParam<int> {
protected:
    static constexpr std::size_t kSamples = kSamplesWorthBands + 100;

    void SetUp() override {
        cal_ = make_calibration(static_cast<std::int16_t>(GetParam()), &world_);
        compute_const_n_lines(cal_, grids_);
        compute_const_s_lines(cal_, grids_);
        compute_const_fp_lines(cal_, grids_);
        const double high = cal_.range();
        // Spread evenly over the diagram: steps of 1/p and 1/p^2, p the plastic number
        // (1.3247...), the two-dimensional golden-ratio sequence.
        for (int i = 1; samples_.size() < kSamples && i < 30000; ++i) {
            const double u = std::fmod(0.5 + 0.7548776662466927 * i, 1.0);
            const double t = std::fmod(0.5 + 0.5698402909980532 * i, 1.0);
            const auto ad = static_cast<float>(0.05 + (high - 0.05) * u);
            const double lowest = Pol5_0(cal_.coef_eg, cal_.reich, 5, ad);
            auto eg = static_cast<float>(lowest + (0.02 + 0.96 * t) * (ad - lowest));
            if (auto placed = identify_point(cal_, ad, eg).placed) {
                samples_.push_back(std::move(*placed));
            }
        }
        ASSERT_EQ(samples_.size(), kSamples);
    }

    DiagramContent content() const {
        return DiagramContent{cal_, grids_, samples_, GridSwitches{true, true, true, true},
                              IdenticalSwitches{true, true, true, true}};
    }

    // What a drawing leaves besides its pixels: the layout, legx's place and the surface's
    // text position, which the window reads after it.
    struct Left {
        float plot_left, plot_top, caption_left, caption_top, current_x, current_y;
        bool operator==(const Left&) const = default;
    };

    Left draw_on(PainterSurface& surface) const {
        surface.set_user_scale(0, 0, 15, 15);
        surface.clear();
        PlotWindow plot;
        static_cast<WorldWindow&>(plot) = world_;
        AxisCaptions captions;
        draw_diagram(surface, plot, captions, content());
        surface.finish();
        return {plot.left,           plot.top,           captions.x_left, captions.x_top,
                surface.current_x(), surface.current_y()};
    }

    // As the window draws it, in at most `bands` bands at once, or (`by_engine`) on a
    // pixmap, whose pixels only Qt's engine writes, alone.
    QImage draw(bool antialiased, bool by_engine, bool every_line = false, int bands = 1,
                Left* left = nullptr) const {
        QImage image(600, 600, QImage::Format_RGB32);
        QPixmap pixmap(image.size());
        PainterSurface surface(by_engine ? static_cast<QPaintDevice*>(&pixmap) : &image);
        surface.set_antialiasing(antialiased);
        surface.set_hidden_lines_kept(every_line);
        surface.set_most_bands(bands);
        const Left drawn = draw_on(surface);
        if (left != nullptr) {
            *left = drawn;
        }
        return by_engine ? pixmap.toImage().convertToFormat(QImage::Format_RGB32) : image;
    }

    Calibration cal_;
    WorldWindow world_;
    ConstLines grids_;
    SampleList samples_;
};

int differing_pixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return count;
}

int inked_pixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += (image.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu ? 1 : 0;
        }
    }
    return count;
}

// Alone and in bands drawn at once (3: bands of uneven rows on any machine).
TEST_P(FullDiagram, GivesTheEnginesPixels) {
    for (const bool antialiased : {false, true}) {
        Left alone{};
        const QImage by_engine = draw(antialiased, true, false, 1, &alone);
        // A drawing that went nowhere would compare equal too.
        EXPECT_GT(inked_pixels(by_engine), 600 * 600 / 10);
        for (const int bands : {1, 2, 3}) {
            SCOPED_TRACE(std::string(antialiased ? "antialiased" : "window picture") + ", " +
                         std::to_string(bands) + " bands");
            Left left{};
            const QImage ours = draw(antialiased, false, false, bands, &left);
            ASSERT_EQ(by_engine.size(), ours.size());
            EXPECT_EQ(differing_pixels(by_engine, ours), 0);
            EXPECT_TRUE(left == alone);
        }
    }
}

// The lines a later sample draws again are left out only where that changes no pixel.
TEST_P(FullDiagram, LeavesOutOnlyLinesHiddenByTheirLaterDrawing) {
    EXPECT_EQ(differing_pixels(draw(false, false, true), draw(false, false)), 0);
    QImage image(10, 10, QImage::Format_RGB32);
    PainterSurface surface(&image);
    EXPECT_TRUE(surface.overwrites_lines());
    surface.set_antialiasing(true);
    EXPECT_FALSE(surface.overwrites_lines());
}

INSTANTIATE_TEST_SUITE_P(EachReichweite, FullDiagram, ::testing::Values(1, 2, 3));

// One-pixel segments of every slope, short and long, on and across the edges, at whole,
// half and arbitrary positions, aliased and antialiased over a coloured ground: the
// pixels Qt's engine sets for each, alone.
class Hairline : public ::testing::TestWithParam<bool> {};

TEST_P(Hairline, SetsThePixelsOfTheEngine) {
    const bool antialiased = GetParam();
    constexpr int kWidth = 120, kHeight = 90;
    const QColor ground(200, 230, 250);
    std::mt19937 random(20261207);
    std::uniform_real_distribution<double> across(-25, kWidth + 25), down(-25, kHeight + 25);
    std::uniform_real_distribution<double> step(-15, 15);
    int differing_segments = 0;
    for (int i = 0; i < 4000; ++i) {
        double x1 = across(random), y1 = down(random);
        double x2 = i % 3 == 0 ? across(random) : x1 + step(random);
        double y2 = i % 3 == 0 ? down(random) : y1 + step(random) * (i % 5 == 0 ? 0.02 : 1);
        if (i % 7 == 0) { // on the pixel grid and its centres
            x1 = std::round(x1 * 2) / 2, y1 = std::round(y1 * 2) / 2;
            x2 = std::round(x2 * 2) / 2, y2 = i % 14 == 0 ? y1 : std::round(y2 * 2) / 2;
        }
        if (i % 50 == 0) { // a segment of no length is a point
            x2 = x1, y2 = y1;
        }
        QImage by_engine(kWidth, kHeight, QImage::Format_RGB32);
        by_engine.fill(ground);
        {
            QPainter painter(&by_engine);
            painter.setRenderHint(QPainter::Antialiasing, antialiased);
            painter.setPen(QPen(QColor(255, 128, 64), 1.0, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QLineF(x1, y1, x2, y2));
        }
        QImage ours(kWidth, kHeight, QImage::Format_RGB32);
        ours.fill(ground);
        const PixelRows rows{reinterpret_cast<std::uint32_t*>(ours.bits()), ours.bytesPerLine() / 4,
                             kWidth, kHeight};
        if (antialiased) {
            draw_antialiased_hairline(rows, x1, y1, x2, y2, 0xFFFF8040u);
        } else {
            draw_hairline(rows, x1, y1, x2, y2, 0xFFFF8040u);
        }
        if (ours != by_engine && ++differing_segments <= 5) {
            ADD_FAILURE() << "segment (" << x1 << ", " << y1 << ")-(" << x2 << ", " << y2
                          << "): " << differing_pixels(ours, by_engine) << " pixels differ";
        }
    }
    EXPECT_EQ(differing_segments, 0);
}

INSTANTIATE_TEST_SUITE_P(AliasedAndAntialiased, Hairline, ::testing::Bool());

// Segments held back reach their own device, also when it is swapped for another.
TEST(HeldBackSegments, ReachTheirDeviceBeforeItGoes) {
    QImage image(50, 50, QImage::Format_RGB32), second(50, 50, QImage::Format_RGB32);
    image.fill(Qt::white);
    second.fill(Qt::white);
    PainterSurface surface(&image);
    surface.set_user_scale(0, 0, 50, 50);
    surface.set_pen_width(2); // a one-pixel segment would be written at once
    surface.line(25, 5, 25, 45);
    surface.set_device(&second);
    EXPECT_EQ(image.pixelColor(25, 10), QColor(Qt::black));
    EXPECT_EQ(second.pixelColor(25, 10), QColor(Qt::white));
}

// Changing the font after measuring must measure the new font, not the kept one.
TEST(KeptFont, FollowsEveryChange) {
    QImage image(200, 200, QImage::Format_RGB32);
    PainterSurface surface(&image);
    surface.set_user_scale(0, 0, 200, 200);
    const float small = surface.text_width("Illite-smectite");
    surface.set_font_size(20);
    const float large = surface.text_width("Illite-smectite");
    EXPECT_GT(large, small * 1.8f);
    surface.set_font_bold(true);
    EXPECT_GT(surface.text_width("Illite-smectite"), large);
    EXPECT_TRUE(surface.current_font().bold());
    surface.set_font_bold(false);
    EXPECT_FLOAT_EQ(surface.text_width("Illite-smectite"), large);
    surface.set_font_size(0); // refused: the size stays
    EXPECT_FLOAT_EQ(surface.font_size(), 20);
}

} // namespace
} // namespace teravine
