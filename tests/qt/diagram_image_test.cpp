#include "lines/const_lines.h"
#include "model/calibration.h"
#include "qt/render/diagram_image.h"

#include <QByteArray>
#include <QColor>
#include <QFile>
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

QByteArray head_of(const std::string& path, int bytes) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
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

TEST_F(DiagramImage, SvgAndPdfAreWritten) {
    const auto svg = write_diagram_image(content(), world_, path("k.svg"), 500);
    ASSERT_TRUE(svg) << svg.error();
    const QByteArray text = head_of(path("k.svg"), 4096);
    EXPECT_TRUE(text.contains("<svg"));
    EXPECT_TRUE(text.contains("viewBox=\"0 0 500 500\""));

    const auto pdf = write_diagram_image(content(), world_, path("k.pdf"), 500);
    ASSERT_TRUE(pdf) << pdf.error();
    EXPECT_TRUE(head_of(path("k.pdf"), 5).startsWith("%PDF-"));
    // The layout is the picture's whatever the format.
    EXPECT_FLOAT_EQ(svg->plot.left, pdf->plot.left);
    EXPECT_FLOAT_EQ(svg->plot.top, pdf->plot.top);
}

TEST_F(DiagramImage, RefusesWhatItCannotWrite) {
    const auto bmp = write_diagram_image(content(), world_, path("k.bmp"), 300);
    ASSERT_FALSE(bmp);
    EXPECT_NE(bmp.error().find("k.bmp"), std::string::npos);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("k.bmp"))));

    EXPECT_FALSE(write_diagram_image(content(), world_, path("small.png"), kMinImagePixels - 1));
    EXPECT_FALSE(write_diagram_image(content(), world_, path("big.png"), kMaxImagePixels + 1));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("small.png"))));

    const std::string nowhere = path("no/such/folder/k.png");
    const auto missing = write_diagram_image(content(), world_, nowhere, 300);
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().find(nowhere), std::string::npos);
    EXPECT_EQ(missing.error().find('\n'), std::string::npos);
}

} // namespace
} // namespace teravine
