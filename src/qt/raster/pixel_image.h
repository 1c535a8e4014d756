// SPDX-License-Identifier: GPL-3.0-or-later
// A paint device whose pixels may be written directly: a QImage of 32-bit pixels.
#pragma once

#include "diagram/surface.h"
#include "qt/raster/hairline.h"

#include <cstdint>
#include <optional>

class QImage;
class QPaintDevice;

namespace teravine {

// The device as an image of 32-bit pixels (0xAARRGGBB, opaque or premultiplied), if it
// is one.
QImage* pixel_image(QPaintDevice* device);

// The pixels of a 32-bit image, taken once its painter has begun (and so made its pixels
// its own); none for any other device.
std::optional<PixelRows> pixel_rows_of(QPaintDevice* device);

// 0x00BBGGRR as an opaque 32-bit pixel, 0xFFRRGGBB.
inline std::uint32_t opaque_pixel(Colour colour) {
    return 0xFF000000u | ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}

} // namespace teravine
