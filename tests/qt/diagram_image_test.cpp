// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines/const_lines.h"
#include "model/calibration.h"
#include "qt/render/diagram_image.h"

#include <QColor>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace teravine {
namespace {

class DiagramImage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        init_calibration(cal_);
        cal_.reich = 1;
        load_reich(cal_, world_);
    }

    std::string path(const char* name) const { return dir_.filePath(name).toStdString(); }
    DiagramContent content() const {
        return DiagramContent{cal_, grids_, samples_, on_, IdenticalSwitches{}};
    }

    QTemporaryDir dir_;
    Calibration cal_;
    WorldWindow world_;
    ConstLines grids_;
    SampleList samples_;
    GridSwitches on_;
};

int pixels_of(const QImage& image, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

TEST(ImageFormat, ComesFromTheExtension) {
    EXPECT_EQ(image_format_for("k.png"), ImageFormat::Png);
    EXPECT_EQ(image_format_for("/tmp/K.PNG"), ImageFormat::Png);
    EXPECT_EQ(image_format_for("a.b.svg"), ImageFormat::Svg);
    EXPECT_EQ(image_format_for("out.Pdf"), ImageFormat::Pdf);
    EXPECT_FALSE(image_format_for("k.bmp"));
    EXPECT_FALSE(image_format_for("png"));
    EXPECT_FALSE(image_format_for("k"));
}

TEST_F(DiagramImage, PngHasTheSizeAndTheFrameOfTheWindowPicture) {
    const auto written = write_diagram_image(content(), world_, path("k.png"), 300);
    ASSERT_TRUE(written) << written.error();
    EXPECT_EQ(written->format, ImageFormat::Png);

    QImage image(QString::fromStdString(path("k.png")));
    ASSERT_EQ(image.size(), QSize(300, 300));
    EXPECT_EQ(image.pixelColor(299, 0), QColor(Qt::white));

    // R0's frame is 11 by 11 units; the image is 15 units across.
    const PlotWindow& plot = written->plot;
    EXPECT_FLOAT_EQ(plot.right - plot.left, 11);
    EXPECT_FLOAT_EQ(plot.bottom - plot.top, 11);
    const int left = static_cast<int>(plot.left * 20);
    const int middle = static_cast<int>((plot.top + plot.bottom) / 2 * 20);
    EXPECT_LT(image.pixelColor(left, middle).lightness(), 100); // the thick frame
    EXPECT_EQ(image.pixelColor(left + 60, static_cast<int>(plot.top * 20) + 3),
              QColor(Qt::white)); // top-left inside the frame, above the k curves

    // legy's caption stands 120, 600 twips (8, 40 pixels) from the corner.
    int caption_ink = 0;
    for (int y = 40; y < 52; ++y) {
        for (int x = 8; x < 36; ++x) {
            caption_ink += image.pixelColor(x, y).lightness() < 128 ? 1 : 0;
        }
    }
    EXPECT_GT(caption_ink, 10);
    EXPECT_EQ(image.pixelColor(7, 39), QColor(Qt::white));
}

TEST_F(DiagramImage, GridFamiliesShowInTheirColours) {
    ASSERT_TRUE(write_diagram_image(content(), world_, path("k.png"), 400));
    const QImage k_only(QString::fromStdString(path("k.png")));
    EXPECT_EQ(pixels_of(k_only, QColor(255, 0, 0)), 0);

    compute_const_n_lines(cal_, grids_);
    on_.n = true;
    ASSERT_TRUE(write_diagram_image(content(), world_, path("n.png"), 400));
    const QImage with_n(QString::fromStdString(path("n.png")));
    EXPECT_GT(pixels_of(with_n, QColor(255, 0, 0)), 200);
}

} // namespace
} // namespace teravine
