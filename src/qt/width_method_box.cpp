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

namespace {

// The box's step below 0, which stands for the file's own ratio.
constexpr double kAsStatedStep = 0.01;

} // namespace

QDoubleSpinBox* alpha2_ratio_box(QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setDecimals(2);
    box->setSingleStep(0.05);
    box->setRange(-kAsStatedStep, 1);
    box->setSpecialValueText(QStringLiteral("As stated"));
    box->setValue(-kAsStatedStep);
    box->setKeyboardTracking(false);
    box->setToolTip(QStringLiteral("The Kα2 to Kα1 intensity ratio the fit models, 0 for none; "
                                   "\"As stated\" takes the file's own, else 0.5"));
    return box;
}

std::optional<double> chosen_alpha2_ratio(const QDoubleSpinBox& box) {
    // The box holds nothing beyond 1, so every value it shows is a choice.
    const auto ratio = alpha2_ratio_choice(box.value());
    return ratio ? *ratio : std::nullopt;
}

void show_alpha2_ratio(QDoubleSpinBox& box, std::optional<double> ratio) {
    box.setValue(ratio.value_or(-kAsStatedStep));
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
