// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/diagram_image.h"

#include "qt/painter_surface.h"
#include "qt/render/atomic_file.h"
#include "qt/render/diagram_picture.h"
#include "qt/render/headless_gui.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace teravine {

namespace {

// Images are laid out for a ~96 dpi screen, so a pixel of the file is a pixel of the
// window's picture and pen widths stay in screen pixels.
constexpr int kScreenDpi = 96;
constexpr double kMetresPerInch = 0.0254;

Failure write_failure(const std::string& path, const QString& reason) {
    return Failure{"Cannot write " + path + ": " + reason.toStdString()};
}

void draw(QPaintDevice& device, int pixels, const DiagramContent& content, WrittenImage& written) {
    PainterSurface surface(&device);
    surface.set_antialiasing(true);
    AxisCaptions captions;
    draw_diagram_picture(surface, pixels, content, written.plot, captions);
}

// The encoders fill a buffer in memory; the file is written from it in one piece.
// Each returns the encoder's complaint, if any.
std::optional<QString> encode_png(const DiagramContent& content, QBuffer& out,
                                  WrittenImage& written) {
    QImage image(written.pixels, written.pixels, QImage::Format_RGB32);
    const int dots_per_metre = static_cast<int>(kScreenDpi / kMetresPerInch + 0.5);
    image.setDotsPerMeterX(dots_per_metre);
    image.setDotsPerMeterY(dots_per_metre);
    image.fill(Qt::white);
    draw(image, written.pixels, content, written);
    QImageWriter writer(&out, "png");
    if (!writer.write(image)) {
        return writer.errorString();
    }
    return std::nullopt;
}

std::optional<QString> encode_svg(const DiagramContent& content, QBuffer& out,
                                  WrittenImage& written) {
    QSvgGenerator svg; // hands its last bytes over when it goes
    svg.setOutputDevice(&out);
    svg.setSize(QSize(written.pixels, written.pixels));
    svg.setViewBox(QRect(0, 0, written.pixels, written.pixels));
    svg.setResolution(kScreenDpi);
    svg.setTitle(QStringLiteral("Teravine diagram"));
    draw(svg, written.pixels, content, written);
    return std::nullopt;
}

std::optional<QString> encode_pdf(const DiagramContent& content, QBuffer& out,
                                  WrittenImage& written) {
    QPdfWriter pdf(&out);
    pdf.setTitle(QStringLiteral("Teravine diagram"));
    pdf.setCreator(QStringLiteral("Teravine"));
    pdf.setResolution(kScreenDpi);
    const double inches = static_cast<double>(written.pixels) / kScreenDpi;
    pdf.setPageLayout(QPageLayout(
        QPageSize(QSizeF(inches, inches), QPageSize::Inch, QString(), QPageSize::ExactMatch),
        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    draw(pdf, written.pixels, content, written);
    return std::nullopt;
}

} // namespace

std::optional<ImageFormat> image_format_for(const std::string& path) {
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    if (suffix == QLatin1String("png")) {
        return ImageFormat::Png;
    }
    if (suffix == QLatin1String("svg")) {
        return ImageFormat::Svg;
    }
    if (suffix == QLatin1String("pdf")) {
        return ImageFormat::Pdf;
    }
    return std::nullopt;
}

Outcome<WrittenImage> write_diagram_image(const DiagramContent& content, const WorldWindow& world,
                                          const std::string& path, int pixels) {
    const std::optional<ImageFormat> format = image_format_for(path);
    if (!format) {
        return Failure{"Cannot write " + path + ": the file must end in .png, .svg or .pdf"};
    }
    if (pixels < kMinImagePixels || pixels > kMaxImagePixels) {
        return Failure{"The image size must lie between " + std::to_string(kMinImagePixels) +
                       " and " + std::to_string(kMaxImagePixels) + " pixels"};
    }
    HeadlessGui gui;
    WrittenImage written;
    written.format = *format;
    written.pixels = pixels;
    static_cast<WorldWindow&>(written.plot) = world;
    QByteArray bytes;
    std::optional<QString> complaint;
    { // the buffer is complete once the encoders are gone
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        switch (*format) {
        case ImageFormat::Png:
            complaint = encode_png(content, out, written);
            break;
        case ImageFormat::Svg:
            complaint = encode_svg(content, out, written);
            break;
        case ImageFormat::Pdf:
            complaint = encode_pdf(content, out, written);
            break;
        }
    }
    if (!complaint) {
        complaint = save_file_atomically(QString::fromStdString(path), bytes);
    }
    if (complaint) {
        return write_failure(path, *complaint);
    }
    return written;
}

} // namespace teravine
