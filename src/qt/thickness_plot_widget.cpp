// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/thickness_plot_widget.h"

#include "diagram/figure_axes.h"
#include "diagram/thickness_drawing.h"
#include "qt/painter_surface.h"
#include "qt/screen_picture.h"

namespace teravine {
namespace {

// Room around the plot's frame for the tick labels and the axes' titles.
constexpr double kLeft = 52, kTop = 22, kRight = 10, kBottom = 34;
constexpr Colour kGrey = 0x909090;

} // namespace

ThicknessPlotWidget::ThicknessPlotWidget(const ProfileThickness& thickness, QWidget* parent)
    : QWidget(parent), thickness_(thickness) {
    // It shrinks to a small screen's room and takes what the figures above it leave.
    setMinimumSize(180, 100);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize ThicknessPlotWidget::sizeHint() const {
    return {200, 130};
}

void ThicknessPlotWidget::paintEvent(QPaintEvent*) {
    paint_at_screen_pixels(*this, [this](PainterSurface& surface) {
        if (const auto& result = thickness_.result()) {
            // The lognormal's α and β² are in the tool tip: the plot is too small for its legend.
            draw_thickness_distribution(
                surface, *result,
                {kLeft, kTop, double(width()) - kRight, double(height()) - kBottom}, false);
            return;
        }
        const std::string text = thickness_.analysing() ? "Analysing…" : "No distribution";
        surface.set_fore_color(kGrey);
        text_at(surface, (double(width()) - surface.text_width(text)) / 2,
                (double(height()) - surface.text_height(text)) / 2, text);
    });
}

} // namespace teravine
