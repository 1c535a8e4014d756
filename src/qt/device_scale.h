// SPDX-License-Identifier: GPL-3.0-or-later
// Where the user units of a PainterSurface lie on its device: the scale the diagram set
// (a user rectangle or centimetres), and the device pixels it comes to.
#pragma once

#include <QPointF>
#include <QRectF>

#include <optional>

class QPaintDevice;

namespace teravine {

// Device pixels per user unit and where the picture's top-left corner lies.
struct DeviceScale {
    double per_unit_x;
    double per_unit_y;
    double origin_x; // the user coordinates of the picture's top-left corner
    double origin_y;
    double offset_x = 0; // that corner on the device, in device pixels
    double offset_y = 0;

    QPointF to_device(float x, float y) const {
        return {(x - origin_x) * per_unit_x + offset_x, (y - origin_y) * per_unit_y + offset_y};
    }
};

// The scale as the diagram sets it.
struct UserScale {
    bool centimetres = false; // one unit per centimetre from the device's top-left corner
    float left = 0, top = 0, right = 15, bottom = 15;
    std::optional<QRectF> picture_frame; // where the user rectangle spans; none: the device

    // The user coordinates of the picture's top-left corner, where text lines start.
    float start_x() const { return centimetres ? 0.0f : left; }
    float start_y() const { return centimetres ? 0.0f : top; }

    // The scale on device (none: one pixel a unit). Measuring asks the device its size,
    // which costs more than the arithmetic of a segment.
    DeviceScale measure(const QPaintDevice* device) const;
};

} // namespace teravine
