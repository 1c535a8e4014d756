// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/page_file.h"

#include "qt/render/atomic_file.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace teravine {
namespace {

constexpr double kMetresPerInch = 0.0254;

using Paint = std::function<void(QPaintDevice&)>;

// The encoders fill a buffer in memory; the file is written from it in one piece.
// Each returns the encoder's complaint, if any.
std::optional<QString> encode_png(QBuffer& out, const PageFile& page, const Paint& paint) {
    QImage image(page.width, page.height, QImage::Format_RGB32);
    image.setDotsPerMeterX(dots_per_metre(page.dpi));
    image.setDotsPerMeterY(dots_per_metre(page.dpi));
    image.fill(Qt::white);
    paint(image);
    QImageWriter writer(&out, "png");
    if (!writer.write(image)) {
        return writer.errorString();
    }
    return std::nullopt;
}

std::optional<QString> encode_svg(QBuffer& out, const PageFile& page, const Paint& paint) {
    QSvgGenerator svg; // hands its last bytes over when it goes
    svg.setOutputDevice(&out);
    svg.setSize(QSize(page.width, page.height));
    svg.setViewBox(QRect(0, 0, page.width, page.height));
    svg.setResolution(static_cast<int>(page.dpi + 0.5));
    svg.setTitle(QString::fromStdString(page.title));
    paint(svg);
    return std::nullopt;
}

std::optional<QString> encode_pdf(QBuffer& out, const PageFile& page, const Paint& paint) {
    QPdfWriter pdf(&out);
    pdf.setTitle(QString::fromStdString(page.title));
    pdf.setCreator(QStringLiteral("Teravine"));
    pdf.setResolution(static_cast<int>(page.dpi + 0.5));
    pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(page.width / page.dpi, page.height / page.dpi),
                                            QPageSize::Inch, QString(), QPageSize::ExactMatch),
                                  QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    paint(pdf);
    return std::nullopt;
}

std::optional<std::string> save_encoded(const std::string& path, const QByteArray& bytes,
                                        std::optional<QString> complaint) {
    if (!complaint) {
        complaint = save_file_atomically(QString::fromStdString(path), bytes);
    }
    if (complaint) {
        return "Cannot write " + path + ": " + complaint->toStdString();
    }
    return std::nullopt;
}

} // namespace

int dots_per_metre(double dpi) {
    return static_cast<int>(dpi / kMetresPerInch + 0.5);
}

std::optional<std::string> write_page_file(const std::string& path, ImageFormat format,
                                           const PageFile& page, const Paint& paint) {
    QByteArray bytes;
    std::optional<QString> complaint;
    { // the buffer is complete once the encoders are gone
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        switch (format) {
        case ImageFormat::Png:
            complaint = encode_png(out, page, paint);
            break;
        case ImageFormat::Svg:
            complaint = encode_svg(out, page, paint);
            break;
        case ImageFormat::Pdf:
            complaint = encode_pdf(out, page, paint);
            break;
        }
    }
    return save_encoded(path, bytes, complaint);
}

std::optional<std::string> write_pdf_document(const std::string& path, const std::string& title,
                                              double dpi,
                                              const std::function<void(QPdfWriter&)>& paint) {
    QByteArray bytes;
    { // the buffer is complete once the writer is gone
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&out);
        pdf.setTitle(QString::fromStdString(title));
        pdf.setCreator(QStringLiteral("Teravine"));
        pdf.setResolution(static_cast<int>(dpi + 0.5));
        pdf.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        paint(pdf);
    }
    return save_encoded(path, bytes, std::nullopt);
}

} // namespace teravine
