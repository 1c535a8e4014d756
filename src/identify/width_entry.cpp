// SPDX-License-Identifier: GPL-3.0-or-later
#include "identify/width_entry.h"

#include <charconv>
#include <cmath>

namespace teravine {
namespace {

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

std::optional<float> parse_box_number(const std::string& text, char locale_decimal) {
    std::string s = trim(text);
    if (s.empty()) {
        return std::nullopt;
    }
    bool negative = false;
    if (s[0] == '+' || s[0] == '-') {
        negative = s[0] == '-';
        s.erase(0, 1);
    }
    if (locale_decimal != '.') {
        for (char& c : s) {
            if (c == locale_decimal) {
                c = '.';
            }
        }
    }
    // Only digits, one point and an exponent: no "inf", "nan" or hexadecimal.
    if (s.empty() || !(std::isdigit(static_cast<unsigned char>(s[0])) || s[0] == '.')) {
        return std::nullopt;
    }
    float value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

const char* entry_message(EntryProblem problem) {
    switch (problem) {
    case EntryProblem::BadBroadeningText:
        return "Error in the instrumental broaddning input!";
    case EntryProblem::BadWidthText:
        return "Error Sherrer width input!";
    case EntryProblem::BroadeningTooLarge:
        return "Incorect inrumental broadening!";
    case EntryProblem::WidthsOutOfRange:
        return "Incorrect S.W. input!";
    case EntryProblem::None:
        break;
    }
    return "";
}

WidthEntry check_width_entry(const std::string& broad, const std::string& ad, const std::string& eg,
                             float limit, char locale_decimal) {
    WidthEntry entry;
    float b = 0;
    if (!trim(broad).empty()) {
        const auto parsed = parse_box_number(broad, locale_decimal);
        if (!parsed) {
            entry.problem = EntryProblem::BadBroadeningText;
            return entry;
        }
        b = *parsed;
    }
    const auto a = parse_box_number(ad, locale_decimal);
    const auto e = parse_box_number(eg, locale_decimal);
    if (!a || !e) {
        entry.problem = EntryProblem::BadWidthText;
        return entry;
    }
    if (b >= *a || b >= *e) {
        entry.problem = EntryProblem::BroadeningTooLarge;
        return entry;
    }
    if (*e <= 0.01f || *e > *a || *a >= limit) {
        entry.problem = EntryProblem::WidthsOutOfRange;
        return entry;
    }
    entry.broadening = b;
    entry.ad = *a;
    entry.eg = *e;
    return entry;
}

} // namespace teravine
