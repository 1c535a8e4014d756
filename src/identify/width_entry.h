// SPDX-License-Identifier: GPL-3.0-or-later
// Checking the three boxes of the width entry before a typed point is placed.
#pragma once

#include <optional>
#include <string>

namespace teravine {

// One rule for every box: blanks around, an optional sign, digits with '.' (or the
// locale's decimal separator) and an optional exponent. Anything else is not a number.
std::optional<float> parse_box_number(const std::string& text, char locale_decimal = '.');

enum class EntryProblem {
    None,
    BadBroadeningText, // the broadening box is emptied
    BadWidthText,
    BroadeningTooLarge,
    WidthsOutOfRange,
};

// The messages, exactly as the window shows them.
const char* entry_message(EntryProblem problem);

struct WidthEntry {
    EntryProblem problem = EntryProblem::None;
    float broadening = 0;
    float ad = 0;
    float eg = 0;
};

// Runs the checks in their order; limit is the upper end of the AD axis.
WidthEntry check_width_entry(const std::string& broad, const std::string& ad, const std::string& eg,
                             float limit, char locale_decimal = '.');

} // namespace teravine
