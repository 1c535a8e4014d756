// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/width_method_box.h"

#include <QComboBox>

#include <string>

namespace teravine {

QComboBox* width_method_box(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->addItem(QStringLiteral("Half height"));
    for (const ProfileShape shape :
         {ProfileShape::pseudo_voigt, ProfileShape::pearson7, ProfileShape::split_pseudo_voigt,
          ProfileShape::split_pearson7}) {
        box->addItem(QStringLiteral("Fit ") +
                         QString::fromStdString(std::string(profile_shape_name(shape))),
                     static_cast<int>(shape));
    }
    return box;
}

WidthMethod chosen_width_method(const QComboBox& box, int components) {
    if (box.currentIndex() == 0) {
        return WidthMethod{};
    }
    FitOptions options;
    options.shape = static_cast<ProfileShape>(box.currentData().toInt());
    options.components = components;
    return WidthMethod::fitted(options);
}

} // namespace teravine
