// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/figure_caption.h"

#include "text/number_text.h"

namespace teravine {

std::string figure_caption(std::string_view reich_name, std::string_view rule, float broadening,
                           float sigma) {
    std::string text = "Reichweite " + std::string(reich_name) + ", rule " + std::string(rule) +
                       ", broadening " + bare_number_text(broadening) + " \u00B02\u03B8";
    if (sigma > 0) {
        text += ", \u03C3 " + bare_number_text(sigma) + " \u00B02\u03B8";
    }
    return text;
}

} // namespace teravine
