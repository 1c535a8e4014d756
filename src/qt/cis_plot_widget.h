// SPDX-License-Identifier: GPL-3.0-or-later
// The calibration dialog's plot: the window's CIS calibration drawn as its saved figure
// is, at the screen's pixel ratio, or a line saying there is none yet.
#pragma once

#include "app/lab_calibration.h"

#include <QWidget>

namespace teravine {

class CisPlotWidget final : public QWidget {
public:
    CisPlotWidget(const LabCalibration& lab, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const LabCalibration& lab_;
};

} // namespace teravine
