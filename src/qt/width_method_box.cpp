// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/width_method_box.h"

#include "app/measure_session.h"
#include "peaks/width_method_choice.h"

#include <QComboBox>
#include <QDoubleSpinBox>

#include <algorithm>

namespace teravine {

QComboBox* width_method_box(QWidget* parent) {
    auto* box = new QComboBox(parent);
    for (const std::string& caption : width_method_captions()) {
        box->addItem(QString::fromStdString(caption));
    }
    return box;
}

WidthMethod chosen_width_method(const QComboBox& box, int components) {
    return width_method_choice(static_cast<std::size_t>(std::max(box.currentIndex(), 0)),
                               components);
}

QDoubleSpinBox* range_end_box(QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setDecimals(2);
    box->setSingleStep(0.1);
    box->setRange(kRangeStep, 180 - kRangeStep);
    box->setSuffix(QStringLiteral("°"));
    box->setKeyboardTracking(false); // a range half typed is not measured
    return box;
}

} // namespace teravine
