// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/painter_surface.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

namespace teravine {
namespace {

QImage blank(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

bool is_white(const QImage& image, int x, int y) {
    return image.pixelColor(x, y) == Qt::white;
}

// Dark pixels inside a rectangle (text is antialiased or not: any non-white counts).
int inked(const QImage& image, QRect area) {
    int count = 0;
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += is_white(image, x, y) ? 0 : 1;
        }
    }
    return count;
}

TEST(PainterSurface, ColoursAreBlueGreenRed) {
    EXPECT_EQ(to_qcolor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(to_qcolor(0xFF8080), QColor(128, 128, 255));
    EXPECT_EQ(to_qcolor(0x00C000), QColor(0, 192, 0));
    EXPECT_EQ(to_qcolor(0x000808), QColor(8, 8, 0));

    QImage image = blank(300, 300);
    PainterSurface surface(&image);
    surface.set_user_scale(0, 0, 15, 15);
    surface.set_fore_color(0x0000FF);
    surface.line(1, 1, 14, 1);
    surface.finish();
    EXPECT_EQ(image.pixelColor(150, 20), QColor(255, 0, 0));
    EXPECT_TRUE(is_white(image, 150, 25));
    EXPECT_TRUE(is_white(image, 10, 20)); // before the start
}

TEST(PainterSurface, DrawingMovesTheCurrentPosition) {
    QImage image = blank(150, 150);
    PainterSurface surface(&image);
    surface.set_user_scale(0, 0, 15, 15);
    surface.line(1, 2, 3, 4);
    EXPECT_FLOAT_EQ(surface.current_x(), 3);
    EXPECT_FLOAT_EQ(surface.current_y(), 4);
    surface.line_to(10, 4); // from (3, 4)
    surface.box(5, 7, 12, 13);
    EXPECT_FLOAT_EQ(surface.current_x(), 12);
    EXPECT_FLOAT_EQ(surface.current_y(), 13);
    surface.point(6, 6);
    EXPECT_FLOAT_EQ(surface.current_x(), 6);
    surface.finish();

    EXPECT_FALSE(is_white(image, 60, 40));  // the line_to segment
    EXPECT_FALSE(is_white(image, 50, 100)); // the box's left edge
    EXPECT_TRUE(is_white(image, 85, 100));  // the box is not filled

    surface.clear();
    surface.finish();
    EXPECT_EQ(inked(image, image.rect()), 0);
    EXPECT_FLOAT_EQ(surface.current_x(), 0);
    EXPECT_FLOAT_EQ(surface.current_y(), 0);
}

TEST(PainterSurface, TextMetricsComeFromTheFont) {
    QImage image = blank(300, 300);
    PainterSurface surface(&image);
    surface.set_user_scale(0, 0, 15, 15);
    surface.set_font_name("Arial");
    surface.set_font_size(10);
    const float width10 = surface.text_width("IW2g");
    const float height10 = surface.text_height("H");
    EXPECT_GT(width10, 0);
    EXPECT_GT(height10, 0);
    EXPECT_GT(surface.text_width("IW2w (CuKalpha)"), width10);
    EXPECT_FLOAT_EQ(surface.text_height("H\nH"), 2 * height10);

    surface.set_font_size(20);
    EXPECT_NEAR(surface.text_width("IW2g") / width10, 2.0, 0.25);
    EXPECT_NEAR(surface.text_height("H") / height10, 2.0, 0.25);

    surface.set_font_size(10);
    surface.set_font_bold(true);
    EXPECT_GT(surface.text_width("IW2g"), width10);

    // The same font spans half as many user units on a picture twice as large.
    QImage large = blank(600, 600);
    PainterSurface on_large(&large);
    on_large.set_user_scale(0, 0, 15, 15);
    on_large.set_font_name("Arial");
    on_large.set_font_size(10);
    EXPECT_NEAR(on_large.text_width("IW2g") * 2, width10, width10 * 0.05);
}

TEST(PainterSurface, KeepsItsStateAcrossDevices) {
    QImage first = blank(50, 50);
    PainterSurface surface(&first);
    surface.set_fore_color(0xFF8080);
    surface.set_pen_width(3);
    surface.set_draw_mode(kDrawModeCopyPen);
    surface.set_font_name("Times New Roman");
    surface.set_font_size(8.25f);
    surface.set_font_bold(true);
    surface.line(0, 0, 15, 15);

    QImage second = blank(80, 80);
    surface.set_device(&second);
    EXPECT_EQ(surface.fore_color(), 0xFF8080u);
    EXPECT_EQ(surface.pen_width(), 3);
    EXPECT_EQ(surface.draw_mode(), kDrawModeCopyPen);
    EXPECT_EQ(surface.font_name(), "Times New Roman");
    EXPECT_FLOAT_EQ(surface.font_size(), 8.25f);
    EXPECT_TRUE(surface.font_bold());
    surface.line(0, 15, 15, 0);
    surface.finish();
    EXPECT_EQ(second.pixelColor(40, 40), QColor(128, 128, 255));
    EXPECT_FALSE(is_white(first, 25, 25));
    EXPECT_TRUE(is_white(first, 45, 5)); // the second line went to the second image
}

} // namespace
} // namespace teravine
