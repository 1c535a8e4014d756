// SPDX-License-Identifier: GPL-3.0-or-later
// The list that chooses how widths are taken, in the measuring, folder and calibration
// dialogs alike: "Half height", or "Fit" and one of the profiles; the box of the Kα2 ratio
// their fits take; and the boxes of the measuring range's ends.
#pragma once

#include "peaks/width_method.h"

#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QWidget;

namespace teravine {

QComboBox* width_method_box(QWidget* parent);

// The method the box names; a fit of `components` profiles.
WidthMethod chosen_width_method(const QComboBox& box, int components = 1);

// "Kα2 ratio": I(Kα2) / I(Kα1) of a fit, 0 to 1; its lowest step, shown "As stated", takes
// each file's own statement, else 0.5 (peaks/width_method_choice). Taken once typed whole.
QDoubleSpinBox* alpha2_ratio_box(QWidget* parent);
// The ratio the box gives (none: "As stated"), and the box showing a ratio.
std::optional<double> chosen_alpha2_ratio(const QDoubleSpinBox& box);
void show_alpha2_ratio(QDoubleSpinBox& box, std::optional<double> ratio);

// One end of the 2θ range measured, to hundredths of a degree, taken once typed whole.
QDoubleSpinBox* range_end_box(QWidget* parent);

} // namespace teravine
