// SPDX-License-Identifier: GPL-3.0-or-later
// The keeper of a surface's text settings: a drawing stores them at its start and puts
// them back at its end, so it leaves the surface's font and colour as it found them.
#pragma once

#include "diagram/surface.h"

#include <string>

namespace teravine {

// Font sizes are fractional on real surfaces (8.25), so the size is kept as a float.
struct TextStyle {
    float font_size = 0;
    std::string font_name;
    Colour fore_color = 0;
    bool font_bold = false;
};

inline constexpr int kKeepStore = 1;
inline constexpr int kKeepRestore = 0;

// Mode 1 stores the surface's settings into style; any other mode restores them from it.
// Both go through font size, bold, colour, font size again and font name, in that order.
void keep_text_style(int mode, TextStyle& style, Surface& surface);

} // namespace teravine
