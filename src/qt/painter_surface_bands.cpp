// SPDX-License-Identifier: GPL-3.0-or-later
// A PainterSurface drawing a whole picture in horizontal bands, one thread a band.
#include "qt/band_threads.h"
#include "qt/painter_surface.h"
#include "qt/raster/pixel_image.h"

#include <QImage>

#include <algorithm>

namespace teravine {

namespace {

constexpr int kFewestBandRows = 64;

} // namespace

int PainterSurface::band_count() const {
    const QImage* image = pixel_image(device_);
    if (band_ || image == nullptr || image->devicePixelRatio() != 1.0) {
        return 1;
    }
    return std::clamp(image->height() / kFewestBandRows, 1, most_bands_);
}

// Each band's painter clips to its band and its one-pixel lines write only their band's
// rows, so no two threads write one pixel, and clipping changes no pixel inside the clip:
// the bands together hold what one drawing sets.
void PainterSurface::draw_whole(std::size_t samples, const WholeDrawing& draw) {
    const int bands = samples >= kSamplesWorthBands ? band_count() : 1;
    if (bands <= 1 || painter() == nullptr) {
        draw(*this, true);
        return;
    }
    flush();
    QImage* image = pixel_image(device_);
    const int height = image->height();
    std::vector<std::unique_ptr<QImage>> views; // the same pixels, one painter each
    std::vector<std::unique_ptr<PainterSurface>> copies;
    for (int b = 0; b < bands; ++b) {
        auto view = std::make_unique<QImage>(image->bits(), image->width(), height,
                                             image->bytesPerLine(), image->format());
        view->setDotsPerMeterX(image->dotsPerMeterX());
        view->setDotsPerMeterY(image->dotsPerMeterY());
        copies.push_back(band_copy(view.get(), Band{height * b / bands, height * (b + 1) / bands}));
        views.push_back(std::move(view));
    }
    // A copy's font and painter are made, used and dropped on the copy's own thread; the
    // first band's copy is kept for its state.
    run_bands(bands, [&](int b) {
        std::unique_ptr<PainterSurface>& copy = copies[static_cast<std::size_t>(b)];
        const auto drop = [&] {
            if (b != 0) {
                copy.reset();
            }
        };
        try {
            copy->rebuild_font();
            draw(*copy, b == 0);
            copy->finish();
        } catch (...) {
            drop();
            throw;
        }
        drop();
    });
    take_state_of(*copies[0]);
}

std::unique_ptr<PainterSurface> PainterSurface::band_copy(QPaintDevice* view, Band band) const {
    auto copy = std::make_unique<PainterSurface>(view, pen_scale_);
    copy->band_ = band;
    copy->antialiasing_ = antialiasing_;
    copy->hidden_lines_kept_ = hidden_lines_kept_;
    copy->scale_ = scale_;
    copy->pen_text_ = pen_text_; // its font is built on its own thread
    return copy;
}

void PainterSurface::take_state_of(const PainterSurface& copy) {
    const bool same_font = copy.pen_text_.same_font(pen_text_);
    pen_text_ = copy.pen_text_;
    if (hairlines_) {
        hairlines_->forget_end();
    }
    if (!same_font) {
        rebuild_font();
    }
}

} // namespace teravine
