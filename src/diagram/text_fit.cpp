// SPDX-License-Identifier: GPL-3.0-or-later
#include "diagram/text_fit.h"

namespace teravine {
namespace {

// Where a UTF-8 character starts: not on a continuation byte.
bool starts_character(const std::string& text, std::size_t at) {
    return at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
}

} // namespace

std::size_t fitting_length(const std::string& text, double room, const TextWidth& width) {
    std::size_t cut = 1;
    while (cut < text.size() && !starts_character(text, cut)) {
        ++cut;
    }
    for (std::size_t at = cut + 1; at <= text.size(); ++at) {
        if (!starts_character(text, at)) {
            continue;
        }
        if (width(text.substr(0, at)) > room) {
            break;
        }
        cut = at;
    }
    return cut;
}

std::string elided(const std::string& text, double room, const TextWidth& width) {
    if (width(text) <= room) {
        return text;
    }
    const std::string ellipsis = "\u2026";
    return text.substr(0, fitting_length(text, room - width(ellipsis), width)) + ellipsis;
}

} // namespace teravine
