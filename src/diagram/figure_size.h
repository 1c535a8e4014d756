// SPDX-License-Identifier: GPL-3.0-or-later
// The size of a saved figure: a page of width x height device pixels at a resolution.
#pragma once

#include <optional>
#include <string>

namespace teravine {

inline constexpr int kDefaultImagePixels = 800;
inline constexpr int kMinImagePixels = 100;
inline constexpr int kMaxImagePixels = 10000;

// Its physical size is width / dpi by height / dpi inches.
struct FigureSize {
    int width = kDefaultImagePixels;
    int height = kDefaultImagePixels;
    double dpi = 96;
};

inline constexpr int kMaxFigurePixels = 20000;
inline constexpr double kMinFigureDpi = 24;
inline constexpr double kMaxFigureDpi = 2400;
inline constexpr double kMillimetresPerInch = 25.4;
// Pictures are laid out for a ~96 dpi screen, so a pixel of the screen is 1/96 inch.
inline constexpr double kScreenDpi = 96;

// Why a figure of this size cannot be drawn (too small or too large a page, a resolution
// outside 24..2400 dpi), or nothing.
std::optional<std::string> figure_size_problem(const FigureSize& size);

} // namespace teravine
