// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/figure_size.h"

namespace teravine {

std::optional<std::string> figure_size_problem(const FigureSize& size) {
    if (!(size.dpi >= kMinFigureDpi && size.dpi <= kMaxFigureDpi)) {
        return "The resolution must lie between 24 and 2400 dpi";
    }
    const auto pixels =
        std::to_string(kMinImagePixels) + " and " + std::to_string(kMaxFigurePixels);
    if (size.width < kMinImagePixels || size.height < kMinImagePixels ||
        size.width > kMaxFigurePixels || size.height > kMaxFigurePixels) {
        return "The figure's width and height must lie between " + pixels +
               " pixels at its resolution";
    }
    return std::nullopt;
}

} // namespace teravine
