// SPDX-License-Identifier: GPL-3.0-or-later
// The QPainter surface (colours, text metrics, a change of device) and the image files
// that teravine-cli plot writes with it.
#include "lines/const_lines.h"
#include "qt/painter_surface.h"
#include "qt/render/diagram_image.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace teravine {
namespace {

QImage blank(int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Colours are 0x00BBGGRR; lines leave the current position at their end.
TEST(PainterSurface, ColoursAreBlueGreenRedAndStateOutlivesADevice) {
    // 0xFF8080: red 0x80 in the low byte, green 0x80, blue 0xFF in the high one.
    EXPECT_EQ(to_qcolor(0xFF8080), QColor(128, 128, 255));
    EXPECT_EQ(to_qcolor(0x000808), QColor(8, 8, 0));
    QImage first = blank(300);
    PainterSurface surface(&first);
    surface.set_user_scale(0, 0, 15, 15);
    surface.set_fore_color(0x0000FF);
    surface.set_pen_width(3);
    surface.set_font_name("Times New Roman");
    surface.line(1, 1, 14, 1);
    EXPECT_FLOAT_EQ(surface.current_x(), 14);
    surface.box(5, 7, 12, 13);
    surface.finish();
    // 300 pixels over 15 units, 20 a unit: the line runs along row 20 from x 20 to 280,
    // the box spans x 100 to 240 and rows 140 to 260.
    EXPECT_EQ(first.pixelColor(150, 20), QColor(255, 0, 0));
    EXPECT_EQ(first.pixelColor(10, 20), QColor(Qt::white));   // before the start
    EXPECT_EQ(first.pixelColor(170, 200), QColor(Qt::white)); // a box is not filled

    QImage second = blank(80);
    surface.set_device(&second);
    EXPECT_EQ(surface.fore_color(), 0x0000FFu);
    EXPECT_EQ(surface.pen_width(), 3);
    EXPECT_EQ(surface.font_name(), "Times New Roman");
    surface.line(0, 15, 15, 0);
    surface.finish();
    EXPECT_EQ(second.pixelColor(40, 40), QColor(255, 0, 0));  // the diagonal's middle
    EXPECT_EQ(first.pixelColor(150, 150), QColor(Qt::white)); // not on the first image
}

TEST(PainterSurface, TextMetricsComeFromTheFontAndThePictureSize) {
    QImage small = blank(300), large = blank(600);
    PainterSurface on_small(&small), on_large(&large);
    for (PainterSurface* s : {&on_small, &on_large}) {
        s->set_user_scale(0, 0, 15, 15);
        s->set_font_name("Arial");
        s->set_font_size(10);
    }
    const float width = on_small.text_width("IW2g"), height = on_small.text_height("H");
    EXPECT_GT(width, 0);
    EXPECT_FLOAT_EQ(on_small.text_height("H\nH"), 2 * height);
    EXPECT_NEAR(on_large.text_width("IW2g") * 2, width, width * 0.05); // half the user units
    on_small.set_font_bold(true);
    EXPECT_GT(on_small.text_width("IW2g"), width);
    on_small.set_font_size(20);
    EXPECT_NEAR(on_small.text_height("H") / height, 2.0, 0.25);
}

int pixels_of(const QImage& image, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

TEST(DiagramImage, FormatFromTheExtensionAndThePictureOfTheWindow) {
    EXPECT_EQ(image_format_for("/tmp/K.PNG"), ImageFormat::Png);
    EXPECT_EQ(image_format_for("a.b.svg"), ImageFormat::Svg);
    EXPECT_EQ(image_format_for("out.Pdf"), ImageFormat::Pdf);
    for (const char* refused : {"k.bmp", "png", "k"}) {
        EXPECT_FALSE(image_format_for(refused)) << refused;
    }
    QTemporaryDir dir;
    WorldWindow world;
    Calibration cal = make_calibration(1, &world);
    ConstLines grids;
    compute_const_n_lines(cal, grids);
    const SampleList samples;
    const auto path = [&dir](const char* name) { return dir.filePath(name).toStdString(); };
    for (const bool n_on : {false, true}) {
        const DiagramContent content{
            cal, grids, samples, GridSwitches{true, n_on, false, false}, {}};
        const auto written = write_diagram_image(content, world, path("k.png"), 300);
        ASSERT_TRUE(written) << written.error();
        const QImage image(QString::fromStdString(path("k.png")));
        ASSERT_EQ(image.size(), QSize(300, 300));
        // R0's frame is 11 by 11 of the picture's 15 units (20 pixels each); N lines in red
        // only when on.
        const PlotWindow& plot = written->plot;
        EXPECT_FLOAT_EQ(plot.right - plot.left, 11);
        const int middle = static_cast<int>((plot.top + plot.bottom) / 2 * 20);
        EXPECT_LT(image.pixelColor(static_cast<int>(plot.left * 20), middle).lightness(), 100);
        EXPECT_EQ(pixels_of(image, QColor(255, 0, 0)) > 100, n_on);
    }
}

// A figure of 160 x 120 mm at 300 dpi reads back at that size and resolution, and the
// diagram fills it to the margin on its longer side, R3's smaller frame included.
// 160 x 120 mm at 300 dots an inch of 25.4 mm: 1889.8 x 1417.3 pixels.
TEST(DiagramFigure, FillsItsPhysicalSizeToTheMargin) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("figure.png").toStdString();
    for (const std::int16_t reich : {1, 3}) {
        WorldWindow world;
        Calibration cal = make_calibration(reich, &world);
        const ConstLines grids;
        const SampleList samples;
        const DiagramContent content{
            cal, grids, samples, GridSwitches{true, false, false, false}, {}};
        ASSERT_TRUE(write_diagram_figure(content, world, path, FigureSize{1890, 1417, 300}));
        const QImage image(QString::fromStdString(path));
        ASSERT_EQ(image.size(), QSize(1890, 1417));
        EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 300, 0.5);
        int top = image.height(), bottom = -1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); x += 3) {
                if ((image.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu) {
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
            }
        }
        const int margin = kFigureMarginPixels * 300 / 96; // screen pixels at 300 dpi
        EXPECT_NEAR(top, margin, 8) << "reich " << reich;
        EXPECT_NEAR(image.height() - 1 - bottom, margin, 8);
    }
}

} // namespace
} // namespace teravine
