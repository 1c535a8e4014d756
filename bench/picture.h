// SPDX-License-Identifier: GPL-3.0-or-later
// The window's picture without the window: a persistent white image that the diagram is
// drawn into through the QPainter surface, resized whenever the handlers size it.
#pragma once

#include "bench_support.h"
#include "qt/painter_surface.h"

#include <QImage>

namespace teravine::bench {

class BenchPicture {
public:
    // Connects itself to the services' picture size; drawing starts switched on, on an
    // image of 1 x 1 until the window sizes it.
    explicit BenchPicture(BenchServices& services);

    PainterSurface& surface() { return surface_; }
    const QImage& image();

    // Off: the surface keeps its state but paints on no device (building a big state
    // without paying for the drawings in between).
    void set_drawing(bool on);

private:
    void resize(int width, int height);

    QImage image_;
    PainterSurface surface_;
    bool drawing_ = true;
};

} // namespace teravine::bench
