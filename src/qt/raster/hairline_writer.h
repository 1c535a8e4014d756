// SPDX-License-Identifier: GPL-3.0-or-later
// The one-pixel pen of a PainterSurface on a 32-bit image: runs of segments in user units
// written straight into the image's pixels, the pixels Qt's engine would set.
#pragma once

#include "diagram/surface.h"
#include "qt/device_scale.h"
#include "qt/raster/hairline.h"

#include <QPointF>

#include <optional>

namespace teravine {

class HairlineWriter {
public:
    explicit HairlineWriter(const PixelRows& rows) : rows_(rows) {}

    // Writes only the rows from_row <= y < to_row (a band of the picture).
    void limit_to_rows(int from_row, int to_row) {
        rows_.from_row = from_row;
        rows_.to_row = to_row;
    }

    // Segments from (x, y), in user units, through each of `count` points (x, y each),
    // each from where the last one ended.
    void write(const DeviceScale& scale, float x, float y, const float* xy, int count,
               Colour colour, bool antialiased);

    // The pixel nearest to centre (device pixels).
    void point(QPointF centre, Colour colour) const;

    // The next run starts afresh from its user coordinates (the scale or the position
    // changed under it).
    void forget_end() { last_end_.reset(); }

private:
    PixelRows rows_;
    // The end of the last segment, in user units and on the device: a polyline's next run
    // starts there without scaling it again.
    struct EndPoint {
        float x;
        float y;
        QPointF device;
    };
    std::optional<EndPoint> last_end_;
};

} // namespace teravine
