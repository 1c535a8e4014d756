// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/device_scale.h"

#include <QPaintDevice>

namespace teravine {

namespace {

constexpr double kCentimetresPerInch = 2.54;

} // namespace

DeviceScale UserScale::measure(const QPaintDevice* device) const {
    if (centimetres) {
        return device ? DeviceScale{device->logicalDpiX() / kCentimetresPerInch,
                                    device->logicalDpiY() / kCentimetresPerInch, 0.0, 0.0}
                      : DeviceScale{1.0, 1.0, 0.0, 0.0};
    }
    // A device of no size would make every text infinitely long in user units.
    const double span_x = static_cast<double>(right) - left;
    const double span_y = static_cast<double>(bottom) - top;
    const double device_width = device ? device->width() : 0.0;
    const double device_height = device ? device->height() : 0.0;
    const double width = picture_frame ? picture_frame->width() : device_width;
    const double height = picture_frame ? picture_frame->height() : device_height;
    const QPointF offset = picture_frame ? picture_frame->topLeft() : QPointF();
    return {span_x != 0.0 && width > 0 ? width / span_x : 1.0,
            span_y != 0.0 && height > 0 ? height / span_y : 1.0,
            left,
            top,
            offset.x(),
            offset.y()};
}

} // namespace teravine
