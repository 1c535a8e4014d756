// SPDX-License-Identifier: GPL-3.0-or-later
// The window's layout is drawn up in twips; on screen 15 of them make one logical pixel.
#pragma once

#include <cmath>

namespace teravine {

inline constexpr int kTwipsPerPixel = 15;

inline int twips_to_pixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
inline int pixels_to_twips(int pixels) {
    return pixels * kTwipsPerPixel;
}

} // namespace teravine
