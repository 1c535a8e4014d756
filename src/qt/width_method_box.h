// SPDX-License-Identifier: GPL-3.0-or-later
// The list that chooses how widths are taken, in the measuring, folder and calibration
// dialogs alike: "Half height", or "Fit" and one of the profiles; and the boxes of the
// measuring range's ends.
#pragma once

#include "peaks/width_method.h"

class QComboBox;
class QDoubleSpinBox;
class QWidget;

namespace teravine {

QComboBox* width_method_box(QWidget* parent);

// The method the box names; a fit of `components` profiles.
WidthMethod chosen_width_method(const QComboBox& box, int components = 1);

// One end of the 2θ range measured, to hundredths of a degree, taken once typed whole.
QDoubleSpinBox* range_end_box(QWidget* parent);

} // namespace teravine
