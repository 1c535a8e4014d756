// SPDX-License-Identifier: GPL-3.0-or-later
// The sample width file (.IW): a title line, the sample count m, the
// instrumental broadening b, then m pairs of widths (AD, EG). Lines after the m-th
// sample are not read. Number items follow text/number_items.h.
#pragma once

#include "model/broadening.h"
#include "text/outcome.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace teravine {

inline constexpr int kMaxWidthSamples = 32767; // m is a 16-bit count

struct WidthFile {
    std::string title;      // the first line, copied unchanged to the result file
    std::int16_t count = 0; // m
    float broadening = 0;   // b
    std::vector<float> ad;  // sample i (1..m) at index i - 1
    std::vector<float> eg;
    int unread_numbers = 0; // number items after the m-th sample, which are not used
    // From a sample list: the name of each sample, and its own broadening when the
    // samples differ in it (empty for a width file, whose samples share b).
    std::vector<std::string> names;
    std::vector<float> broadenings;

    float broadening_of(std::size_t i) const {
        return i < broadenings.size() ? broadenings[i] : broadening;
    }
    std::string name_of(std::size_t i) const { return i < names.size() ? names[i] : std::string(); }
};

// Failures, each a sentence naming what and where: the file cannot be opened or read;
// it is not plain text; it is empty; an item is missing or not a number; the count is
// not a whole number, negative or beyond 32767 (naming the count); the file ends
// before the count, before the broadening, or after fewer than m samples.
// A fractional count ("2.5") is refused rather than rounded.
Outcome<WidthFile> read_width_text(std::string_view content);
Outcome<WidthFile> read_width_file(const std::string& path);

// When numbers stand after the announced samples, the words that tell the user so
// after the result is written (the results themselves stay as the file is read).
std::optional<std::string> unread_numbers_message(const WidthFile& file);

// Step 4's correction (with each sample's own b when it has one): when b > 0 or the rule is 3 (the
// table), every AD and then EG width goes through remove_inst(width, b, rule, table); otherwise the
// widths stay as read. A width below b becomes -1 and is later written as "Error".
void correct_widths(WidthFile& file, std::int16_t rule, const CorrectionTable& table);

} // namespace teravine
