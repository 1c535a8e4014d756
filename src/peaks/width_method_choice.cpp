// SPDX-License-Identifier: GPL-3.0-or-later
#include "peaks/width_method_choice.h"

#include "peaks/profile_shapes.h"

#include <algorithm>
#include <array>

namespace teravine {
namespace {

constexpr std::array kFittedShapes = {ProfileShape::pseudo_voigt, ProfileShape::pearson7,
                                      ProfileShape::split_pseudo_voigt,
                                      ProfileShape::split_pearson7};

} // namespace

std::vector<std::string> width_method_captions() {
    std::vector<std::string> captions{"Half height"};
    for (const ProfileShape shape : kFittedShapes) {
        captions.push_back("Fit " + std::string(profile_shape_name(shape)));
    }
    return captions;
}

WidthMethod width_method_choice(std::size_t index, int components) {
    if (index == 0 || index > kFittedShapes.size()) {
        return WidthMethod{};
    }
    FitOptions options;
    options.shape = kFittedShapes[index - 1];
    options.components = components;
    return WidthMethod::fitted(options);
}

std::size_t width_method_index(const WidthMethod& method) {
    if (!method.fits()) {
        return 0;
    }
    const auto at = std::find(kFittedShapes.begin(), kFittedShapes.end(), method.options().shape);
    return at == kFittedShapes.end() ? 0 : 1 + static_cast<std::size_t>(at - kFittedShapes.begin());
}

Outcome<std::optional<double>> alpha2_ratio_choice(double box) {
    if (box < 0) {
        return std::optional<double>();
    }
    if (!(box <= 1)) {
        return Failure{"The Kα2 ratio is the intensity of Kα2 over that of Kα1, from 0 (no Kα2 "
                       "line) to 1; leave it empty for each file's own."};
    }
    return std::optional<double>(box);
}

} // namespace teravine
