// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/scan_text.h"

#include "formats/anode.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

namespace teravine {

TextLines::TextLines(std::string_view text) : text_(text) {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") {
        text_.remove_prefix(3);
    }
}

std::optional<std::string_view> TextLines::next() {
    if (at_ >= text_.size()) {
        return std::nullopt;
    }
    const std::size_t end = std::min(text_.find_first_of("\r\n", at_), text_.size());
    const std::string_view line = text_.substr(at_, end - at_);
    at_ = end;
    if (at_ < text_.size()) {
        at_ += text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n' ? 2 : 1;
    }
    ++number_;
    return line;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string_view unquoted(std::string_view text) {
    text = trimmed(text);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front()) {
        text = trimmed(text.substr(1, text.size() - 2));
    }
    return text;
}

bool starts_with_nocase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const auto a = static_cast<unsigned char>(text[i]);
        const auto b = static_cast<unsigned char>(prefix[i]);
        if (std::tolower(a) != std::tolower(b)) {
            return false;
        }
    }
    return true;
}

std::optional<double> number_in(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool append_numbers(std::string_view line, std::vector<double>& values) {
    const auto separator = [](char c) { return c == ' ' || c == '\t' || c == ','; };
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && separator(line[at])) {
            ++at;
        }
        if (at == line.size()) {
            break;
        }
        std::size_t end = at;
        while (end < line.size() && !separator(line[end])) {
            ++end;
        }
        const auto value = number_in(line.substr(at, end - at));
        if (!value) {
            return false;
        }
        values.push_back(*value);
        at = end;
    }
    return true;
}

std::optional<std::string> not_text(std::string_view content, const std::string& subject) {
    if (content.empty()) {
        return subject + " is empty.";
    }
    if (content.find('\0') != std::string_view::npos) {
        return subject + " is not a pattern: it is not text.";
    }
    return std::nullopt;
}

std::vector<double> evenly_spaced(double start, double step, std::size_t count) {
    std::vector<double> angles(count);
    for (std::size_t i = 0; i < count; ++i) {
        angles[i] = start + step * static_cast<double>(i);
    }
    return angles;
}

void put_in_order(Pattern& scan) {
    if (scan.two_theta.size() > 1 && scan.two_theta.front() > scan.two_theta.back()) {
        std::reverse(scan.two_theta.begin(), scan.two_theta.end());
        std::reverse(scan.counts.begin(), scan.counts.end());
    }
}

void scale_counts(std::vector<double>& counts, const std::vector<double>& factors) {
    for (std::size_t i = 0; i < counts.size() && i < factors.size(); ++i) {
        counts[i] *= factors[i];
    }
}

std::string anode_named(std::string_view text) {
    text = unquoted(text);
    constexpr std::pair<std::string_view, std::string_view> kNumbers[] = {
        {"29", "Cu"}, {"27", "Co"}, {"26", "Fe"}, {"24", "Cr"}, {"42", "Mo"}, {"47", "Ag"}};
    for (const auto& [number, symbol] : kNumbers) {
        if (text == number) {
            return std::string(symbol);
        }
    }
    // "Cu", "CU", "Cu K-Alpha": the symbol alone, or "Copper": the element's name.
    if (text.size() == 2 ||
        (text.size() > 2 && !std::isalpha(static_cast<unsigned char>(text[2])))) {
        if (const auto lines = anode_lines(text.substr(0, 2))) {
            return std::string(lines->symbol);
        }
    }
    constexpr std::pair<std::string_view, std::string_view> kNames[] = {
        {"Copper", "Cu"},   {"Cobalt", "Co"},     {"Iron", "Fe"},
        {"Chromium", "Cr"}, {"Molybdenum", "Mo"}, {"Silver", "Ag"}};
    for (const auto& [name, symbol] : kNames) {
        if (starts_with_nocase(text, name)) {
            return std::string(symbol);
        }
    }
    return {};
}

std::optional<double> stated_wavelength(std::optional<double> value) {
    if (!value || *value == 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> wavelength_in(std::string_view text) {
    return stated_wavelength(number_in(unquoted(text)));
}

std::optional<std::string> step_problem(double start, double step, const std::string& subject) {
    if (!std::isfinite(start)) {
        return subject + " starts 2θ at " + number_text(start) + ", which is not a number.";
    }
    if (!std::isfinite(step) || !(step > 0)) {
        return subject + " has a 2θ step of " + number_text(step) +
               "; a step must be a positive number.";
    }
    return std::nullopt;
}

std::optional<std::string> range_problem(double start, double end, double step, std::size_t count,
                                         const std::string& subject) {
    if (auto problem = step_problem(start, step, subject)) {
        return problem;
    }
    const double steps = (end - start) / step + 1;
    if (!(std::abs(steps - static_cast<double>(count)) <= 1.5)) {
        return subject + " states 2θ from " + number_text(start) + "° to " + number_text(end) +
               "° at " + number_text(step) + "°, " + number_text(std::round(steps)) +
               " steps, but holds " + std::to_string(count) + " counts.";
    }
    return std::nullopt;
}

std::string number_text(double value) {
    char text[32];
    const bool whole = std::abs(value) < 1e16 && value == std::floor(value);
    std::snprintf(text, sizeof text, whole ? "%.0f" : "%.6g", value);
    return text;
}

} // namespace teravine
