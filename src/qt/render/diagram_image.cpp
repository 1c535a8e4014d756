// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/render/diagram_image.h"

#include "diagram/diagram_picture.h"
#include "qt/painter_surface.h"
#include "qt/render/headless_gui.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace teravine {

namespace {

// What is written: a page of width x height device pixels at dpi, the square picture of
// `picture_pixels` screen pixels laid over it in `frame` (device pixels).
struct Page {
    int width = 0;
    int height = 0;
    double dpi = kScreenDpi;
    QRectF frame;
    int picture_pixels = 0;
};

Page square_page(int pixels) {
    return Page{pixels, pixels, kScreenDpi, QRectF(0, 0, pixels, pixels), pixels};
}

// Text in points and pens in screen pixels grow with the resolution, so a page of a
// given physical size shows the picture as a screen would at that size.
void draw(QPaintDevice& device, const Page& page, const DiagramContent& content,
          WrittenImage& written, bool antialiased = true) {
    PainterSurface surface(&device, page.dpi / kScreenDpi);
    surface.set_antialiasing(antialiased);
    surface.set_picture_frame(page.frame);
    AxisCaptions captions;
    draw_diagram_picture(surface, page.picture_pixels, content, written.plot, captions);
    surface.finish();
}

// The part of a square picture of `side` screen pixels that the diagram inks, drawn
// once without antialiasing to find it.
QRect drawn_bounds(const DiagramContent& content, const WorldWindow& world, int side) {
    QImage probe(side, side, QImage::Format_RGB32);
    probe.setDotsPerMeterX(dots_per_metre(kScreenDpi));
    probe.setDotsPerMeterY(dots_per_metre(kScreenDpi));
    probe.fill(Qt::white);
    WrittenImage scratch;
    static_cast<WorldWindow&>(scratch.plot) = world;
    // Identical lines are cut at the frame, which is inked anyway: the probe leaves them
    // out, the costliest part of a diagram of many samples.
    DiagramContent outline = content;
    outline.identical_on = IdenticalSwitches{};
    draw(probe, square_page(side), outline, scratch, false);
    int left = side, top = side, right = -1, bottom = -1;
    for (int y = 0; y < side; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(probe.constScanLine(y));
        for (int x = 0; x < side; ++x) {
            if ((row[x] & 0xFFFFFFu) != 0xFFFFFFu) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QRect(0, 0, side, side) : QRect(QPoint(left, top), QPoint(right, bottom));
}

// The figure's page: the picture scaled so that what it inks, with a margin, fills the
// page's width or height, and centred. Text keeps its size as the picture grows, so
// the scale is found again on the picture of the size found, twice at most.
Page figure_page(const DiagramContent& content, const WorldWindow& world, const FigureSize& size) {
    const double to_screen = kScreenDpi / size.dpi; // device pixels to screen pixels
    const double room_x = size.width * to_screen - 2 * kFigureMarginPixels;
    const double room_y = size.height * to_screen - 2 * kFigureMarginPixels;
    int side = kDefaultImagePixels;
    QRect inked = drawn_bounds(content, world, side);
    for (int pass = 0; pass < 3; ++pass) {
        const double grow = std::min(room_x / (inked.width() + 1), room_y / (inked.height() + 1));
        const int wanted =
            std::clamp(static_cast<int>(side * grow), kMinImagePixels, kMaxImagePixels);
        if (std::abs(wanted - side) <= 1) {
            break;
        }
        side = wanted;
        inked = drawn_bounds(content, world, side);
    }
    const double to_device = size.dpi / kScreenDpi;
    const QPointF centre = QRectF(inked).adjusted(0, 0, 1, 1).center();
    const QPointF origin(size.width / 2.0 - centre.x() * to_device,
                         size.height / 2.0 - centre.y() * to_device);
    return Page{size.width, size.height, size.dpi,
                QRectF(origin, QSizeF(side * to_device, side * to_device)), side};
}

Outcome<WrittenImage> write_page(const DiagramContent& content, const WorldWindow& world,
                                 const std::string& path, ImageFormat format, const Page& page) {
    WrittenImage written;
    written.format = format;
    written.pixels = page.picture_pixels;
    static_cast<WorldWindow&>(written.plot) = world;
    const PageFile file{page.width, page.height, page.dpi, "Teravine diagram"};
    if (const auto failure = write_page_file(path, format, file, [&](QPaintDevice& device) {
            draw(device, page, content, written);
        })) {
        return Failure{*failure};
    }
    return written;
}

} // namespace

Outcome<WrittenImage> write_diagram_image(const DiagramContent& content, const WorldWindow& world,
                                          const std::string& path, int pixels) {
    const std::optional<ImageFormat> format = image_format_for(path);
    if (!format) {
        return Failure{unknown_format_message(path)};
    }
    if (pixels < kMinImagePixels || pixels > kMaxImagePixels) {
        return Failure{"The image size must lie between " + std::to_string(kMinImagePixels) +
                       " and " + std::to_string(kMaxImagePixels) + " pixels"};
    }
    HeadlessGui gui;
    return write_page(content, world, path, *format, square_page(pixels));
}

FigureFrame figure_frame(const DiagramContent& content, const WorldWindow& world,
                         const FigureSize& size) {
    const Page page = figure_page(content, world, size);
    return {page.frame.left(), page.frame.top(), page.frame.width(), page.picture_pixels};
}

Outcome<WrittenImage> write_diagram_figure(const DiagramContent& content, const WorldWindow& world,
                                           const std::string& path, const FigureSize& size) {
    const std::optional<ImageFormat> format = image_format_for(path);
    if (!format) {
        return Failure{unknown_format_message(path)};
    }
    if (const auto problem = figure_size_problem(size)) {
        return Failure{*problem};
    }
    HeadlessGui gui;
    return write_page(content, world, path, *format, figure_page(content, world, size));
}

} // namespace teravine
