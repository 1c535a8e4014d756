// SPDX-License-Identifier: GPL-3.0-or-later
// "Copy to clipboard" copies the picture as the user sees it: the image and the two axis
// captions, which are labels over it, each in its place.
#include "qt/main_window.h"
#include "qt/picture_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>

#include <gtest/gtest.h>

namespace teravine {
namespace {

TEST(CopyToClipboard, CarriesTheAxisCaptions) {
    MainWindow window{MainWindow::Options{false}};
    window.show();
    window.start();
    PictureBox* picture = window.controls().pct1;
    window.terav().cop_clip_Click();
    const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(
        QImage::Format_RGB32);
    const QImage drawn = picture->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(copied.size(), drawn.size());

    // Every pixel the copy adds to the drawing lies on a caption, and each caption adds some.
    const QRect captions[] = {picture->legx()->geometry(), picture->legy()->geometry()};
    int added[2] = {0, 0};
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if (copied.pixel(x, y) == drawn.pixel(x, y)) {
                continue;
            }
            const bool on_x = captions[0].contains(x, y);
            ASSERT_TRUE(on_x || captions[1].contains(x, y)) << "pixel " << x << ", " << y;
            ++added[on_x ? 0 : 1];
        }
    }
    EXPECT_GT(added[0], 20);
    EXPECT_GT(added[1], 20);
}

} // namespace
} // namespace teravine
