// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/number_items.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace teravine {
namespace {

// Longer items are not numbers anyone writes, and parsing them costs time for nothing.
constexpr std::size_t kMaxNumberLength = 1000;

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Sign, digits with at most one point (at least one digit), optional exponent.
bool has_number_shape(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < s.size() && is_digit(s[i])) {
        ++i, ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && is_digit(s[i])) {
            ++i, ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            ++i;
        }
        std::size_t exponent_digits = 0;
        while (i < s.size() && is_digit(s[i])) {
            ++i, ++exponent_digits;
        }
        if (exponent_digits == 0) {
            return false;
        }
    }
    return i == s.size();
}

bool is_item_end(char c) {
    return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

Outcome<NumberItems> NumberItems::over(std::string_view content) {
    const auto starts = [&](std::string_view prefix) {
        return content.substr(0, prefix.size()) == prefix;
    };
    using namespace std::string_view_literals;
    if (starts("\xFF\xFE"sv) || starts("\xFE\xFF"sv)) {
        return Failure{"The file is UTF-16 text (it starts with a UTF-16 byte-order mark); "
                       "save it as plain text (ANSI or UTF-8) and try again."};
    }
    if (content.find('\0') != std::string_view::npos) {
        return Failure{"The file holds NUL bytes, so it is not plain text (it may be UTF-16 "
                       "text or a binary file); save it as plain text (ANSI or UTF-8) and try "
                       "again."};
    }
    if (starts("\xEF\xBB\xBF"sv)) {
        content.remove_prefix(3);
    }
    return NumberItems(content);
}

bool NumberItems::at_line_end() const {
    return pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n');
}

void NumberItems::skip_line_end() {
    if (pos_ < text_.size() && text_[pos_] == '\r') {
        ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') {
            ++pos_;
        }
    } else if (pos_ < text_.size() && text_[pos_] == '\n') {
        ++pos_;
    } else {
        return;
    }
    ++line_;
    item_ = 0;
}

void NumberItems::skip_blanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) {
        ++pos_;
    }
}

void NumberItems::skip_separators() {
    for (;;) {
        skip_blanks();
        if (!at_line_end()) {
            return;
        }
        skip_line_end();
    }
}

std::optional<std::string_view> NumberItems::line() {
    if (pos_ >= text_.size()) {
        return std::nullopt;
    }
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != '\r' && text_[pos_] != '\n') {
        ++pos_;
    }
    const std::string_view whole = text_.substr(start, pos_ - start);
    if (pos_ < text_.size()) {
        skip_line_end();
    } else {
        item_ = 0;
    }
    return whole;
}

bool NumberItems::at_end() {
    skip_separators();
    return pos_ >= text_.size();
}

std::string NumberItems::place_text(ItemPlace place) {
    return "Line " + std::to_string(place.line) + " of the file, item " +
           std::to_string(place.item);
}

std::string NumberItems::quoted(std::string_view text) {
    constexpr std::size_t kShown = 40;
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < kShown; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            static const char hex[] = "0123456789ABCDEF";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    if (text.size() > kShown) {
        out += "...";
    }
    return out + "\"";
}

Outcome<double> NumberItems::number(std::string_view what) {
    skip_separators();
    if (pos_ >= text_.size()) {
        return Failure{"The file ends before " + std::string(what) + "."};
    }
    ++item_;
    last_place_ = {line_, item_};
    const std::string where = place_text(last_place_) + " (" + std::string(what) + ")";
    if (text_[pos_] == ',') {
        ++pos_;
        last_text_ = {};
        return Failure{where + " is missing: nothing stands before the comma."};
    }
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !is_item_end(text_[pos_])) {
        ++pos_;
    }
    last_text_ = text_.substr(start, pos_ - start);
    skip_blanks();
    if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
    }

    const auto not_a_number = [&](const char* why) {
        return Failure{where + ": " + quoted(last_text_) + " is not a number" + why + "."};
    };
    if (last_text_.size() > kMaxNumberLength || !has_number_shape(last_text_)) {
        return not_a_number("");
    }
    std::string_view digits = last_text_;
    if (digits.front() == '+') {
        digits.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc::result_out_of_range) {
        return not_a_number(" that a single-precision value can hold");
    }
    if (error != std::errc{} || end != digits.data() + digits.size() || !std::isfinite(value)) {
        return not_a_number("");
    }
    return value;
}

Outcome<float> NumberItems::single(std::string_view what) {
    const auto value = number(what);
    if (!value) {
        return Failure{value.error()};
    }
    if (std::fabs(*value) > static_cast<double>(std::numeric_limits<float>::max())) {
        return Failure{place_text(last_place_) + " (" + std::string(what) +
                       "): " + quoted(last_text_) +
                       " is not a number that a single-precision value can hold."};
    }
    return static_cast<float>(*value);
}

} // namespace teravine
