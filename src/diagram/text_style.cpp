// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/text_style.h"

namespace teravine {

void keep_text_style(int mode, TextStyle& style, Surface& surface) {
    if (mode == kKeepStore) {
        style.font_size = surface.font_size();
        style.font_bold = surface.font_bold();
        style.fore_color = surface.fore_color();
        style.font_size = surface.font_size();
        style.font_name = surface.font_name();
        return;
    }
    // The specified order, size set twice, is kept: a surface may react to each call.
    surface.set_font_size(style.font_size);
    surface.set_font_bold(style.font_bold);
    surface.set_fore_color(style.fore_color);
    surface.set_font_size(style.font_size);
    surface.set_font_name(style.font_name);
}

} // namespace teravine
