// SPDX-License-Identifier: GPL-3.0-or-later
// Text made to fit a width on a surface: the longest start of it that fits, in whole
// characters, and the text cut short with "…" (names and notes in tables, file names in a
// figure's heading).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace teravine {

// How wide a text is drawn, in the surface's units.
using TextWidth = std::function<double(const std::string&)>;

// The bytes of the longest start of `text` no wider than `room`, whole UTF-8 characters,
// one character at least.
std::size_t fitting_length(const std::string& text, double room, const TextWidth& width);

// The text as it stands when it fits in `room`, else cut short with "…".
std::string elided(const std::string& text, double room, const TextWidth& width);

} // namespace teravine
