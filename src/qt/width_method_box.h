// SPDX-License-Identifier: GPL-3.0-or-later
// The list that chooses how widths are taken, in the measuring and the calibration dialog
// alike: "Half height", or "Fit" and one of the profiles.
#pragma once

#include "peaks/width_method.h"

class QComboBox;
class QWidget;

namespace teravine {

QComboBox* width_method_box(QWidget* parent);

// The method the box names; a fit of `components` profiles.
WidthMethod chosen_width_method(const QComboBox& box, int components = 1);

} // namespace teravine
