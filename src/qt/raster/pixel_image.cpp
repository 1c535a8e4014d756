// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/raster/pixel_image.h"

#include <QImage>
#include <QPaintDevice>

namespace teravine {

QImage* pixel_image(QPaintDevice* device) {
    if (device == nullptr || device->devType() != QInternal::Image) {
        return nullptr;
    }
    auto* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied
               ? image
               : nullptr;
}

std::optional<PixelRows> pixel_rows_of(QPaintDevice* device) {
    QImage* image = pixel_image(device);
    if (image == nullptr) {
        return std::nullopt;
    }
    return PixelRows{reinterpret_cast<std::uint32_t*>(image->bits()), image->bytesPerLine() / 4,
                     image->width(), image->height()};
}

} // namespace teravine
