// SPDX-License-Identifier: GPL-3.0-or-later
// The thickness distribution of the measuring dialog's air-dried pattern, drawn small beside
// its width: the stacks' shares with their lognormal (diagram/thickness_drawing) through a
// PainterSurface at the screen's own pixels, as the peak plots are drawn.
#pragma once

#include "app/profile_thickness.h"

#include <QWidget>

namespace teravine {

class ThicknessPlotWidget final : public QWidget {
public:
    explicit ThicknessPlotWidget(const ProfileThickness& thickness, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ProfileThickness& thickness_;
};

} // namespace teravine
