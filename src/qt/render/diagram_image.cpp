#include "qt/render/diagram_image.h"

#include "qt/painter_surface.h"
#include "qt/render/diagram_picture.h"
#include "qt/render/headless_gui.h"

#include <QFile>
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

Outcome<WrittenImage> finished(QFile& file, const std::string& path, WrittenImage written) {
    file.close();
    if (file.error() != QFileDevice::NoError) {
        return write_failure(path, file.errorString());
    }
    return written;
}

void draw(QPaintDevice& device, int pixels, const DiagramContent& content, WrittenImage& written) {
    PainterSurface surface(&device);
    surface.set_antialiasing(true);
    AxisCaptions captions;
    draw_diagram_picture(surface, pixels, content, written.plot, captions);
}

Outcome<WrittenImage> write_png(const DiagramContent& content, QFile& file, const std::string& path,
                                WrittenImage written) {
    QImage image(written.pixels, written.pixels, QImage::Format_RGB32);
    const int dots_per_metre = static_cast<int>(kScreenDpi / kMetresPerInch + 0.5);
    image.setDotsPerMeterX(dots_per_metre);
    image.setDotsPerMeterY(dots_per_metre);
    image.fill(Qt::white);
    draw(image, written.pixels, content, written);
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        return write_failure(path, writer.errorString());
    }
    return finished(file, path, written);
}

Outcome<WrittenImage> write_svg(const DiagramContent& content, QFile& file, const std::string& path,
                                WrittenImage written) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(QSize(written.pixels, written.pixels));
    svg.setViewBox(QRect(0, 0, written.pixels, written.pixels));
    svg.setResolution(kScreenDpi);
    svg.setTitle(QStringLiteral("Teravine diagram"));
    draw(svg, written.pixels, content, written);
    return finished(file, path, written);
}

Outcome<WrittenImage> write_pdf(const DiagramContent& content, QFile& file, const std::string& path,
                                WrittenImage written) {
    QPdfWriter pdf(&file);
    pdf.setTitle(QStringLiteral("Teravine diagram"));
    pdf.setCreator(QStringLiteral("Teravine"));
    pdf.setResolution(kScreenDpi);
    const double inches = static_cast<double>(written.pixels) / kScreenDpi;
    pdf.setPageLayout(QPageLayout(
        QPageSize(QSizeF(inches, inches), QPageSize::Inch, QString(), QPageSize::ExactMatch),
        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    draw(pdf, written.pixels, content, written);
    return finished(file, path, written);
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
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return write_failure(path, file.errorString());
    }
    WrittenImage written;
    written.format = *format;
    written.pixels = pixels;
    static_cast<WorldWindow&>(written.plot) = world;
    Outcome<WrittenImage> result = write_failure(path, QStringLiteral("unknown format"));
    switch (*format) {
    case ImageFormat::Png:
        result = write_png(content, file, path, written);
        break;
    case ImageFormat::Svg:
        result = write_svg(content, file, path, written);
        break;
    case ImageFormat::Pdf:
        result = write_pdf(content, file, path, written);
        break;
    }
    if (!result) {
        // A half-written image is worse than none.
        file.remove();
    }
    return result;
}

} // namespace teravine
