// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/raster/hairline_writer.h"

#include "qt/raster/pixel_image.h"

namespace teravine {

void HairlineWriter::write(const DeviceScale& scale, float x, float y, const float* xy, int count,
                           Colour colour, bool antialiased) {
    QPointF from = last_end_ && last_end_->x == x && last_end_->y == y ? last_end_->device
                                                                       : scale.to_device(x, y);
    const std::uint32_t pixel = opaque_pixel(colour);
    for (int i = 0; i < count; ++i) {
        const QPointF to = scale.to_device(xy[2 * i], xy[2 * i + 1]);
        if (antialiased) {
            draw_antialiased_hairline(rows_, from.x(), from.y(), to.x(), to.y(), pixel);
        } else {
            draw_hairline(rows_, from.x(), from.y(), to.x(), to.y(), pixel);
        }
        from = to;
    }
    last_end_ = EndPoint{xy[2 * count - 2], xy[2 * count - 1], from};
}

void HairlineWriter::point(QPointF centre, Colour colour) const {
    draw_hairline_point(rows_, centre.x(), centre.y(), opaque_pixel(colour));
}

} // namespace teravine
