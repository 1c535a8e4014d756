// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/text_pattern.h"

#include <charconv>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace teravine {
namespace {

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool is_comment(std::string_view line) {
    return std::string_view("#!%;*").find(line.front()) != std::string_view::npos;
}

std::optional<double> field_number(std::string_view field, bool decimal_comma) {
    field = trim(field);
    if (!field.empty() && field.front() == '+') {
        field.remove_prefix(1);
    }
    if (field.empty()) {
        return std::nullopt;
    }
    std::string swapped;
    if (decimal_comma && field.find(',') != std::string_view::npos) {
        swapped.assign(field);
        for (char& c : swapped) {
            c = c == ',' ? '.' : c;
        }
        field = swapped;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || end != field.data() + field.size()) {
        return std::nullopt;
    }
    return value; // "nan" and "inf" too: the pattern's check names them
}

// The first two columns of the line, when both are numbers.
std::optional<std::pair<double, double>> point_of(std::string_view line) {
    char separator = ' ';
    for (char candidate : {';', '\t', ','}) {
        if (line.find(candidate) != std::string_view::npos) {
            separator = candidate;
            break;
        }
    }
    std::string_view columns[2];
    std::size_t found = 0;
    std::size_t from = 0;
    while (found < 2 && from <= line.size()) {
        if (separator == ' ') {
            from = line.find_first_not_of(' ', from);
            if (from == std::string_view::npos) {
                break;
            }
        }
        auto end = line.find(separator, from);
        end = end == std::string_view::npos ? line.size() : end;
        columns[found++] = line.substr(from, end - from);
        from = end + 1;
    }
    if (found < 2) {
        return std::nullopt;
    }
    const bool decimal_comma = separator == ';' || separator == '\t';
    const auto x = field_number(columns[0], decimal_comma);
    const auto y = field_number(columns[1], decimal_comma);
    if (!x || !y) {
        return std::nullopt;
    }
    return std::pair{*x, *y};
}

} // namespace

Outcome<Pattern> read_text_pattern(std::string_view content, const std::string& path) {
    const std::string subject = pattern_subject(path);
    if (content.empty()) {
        return Failure{subject + " is empty."};
    }
    if (content.find('\0') != std::string_view::npos) {
        return Failure{subject + " is not a pattern: it is not text."};
    }
    if (content.substr(0, 3) == "\xEF\xBB\xBF") {
        content.remove_prefix(3);
    }
    Pattern pattern;
    pattern.name = pattern_name(path);
    std::vector<std::size_t> line_of_point;
    std::size_t line_number = 0;
    std::size_t from = 0;
    while (from < content.size()) {
        auto end = content.find('\n', from);
        end = end == std::string_view::npos ? content.size() : end;
        std::string_view line = content.substr(from, end - from);
        from = end + 1;
        ++line_number;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        line = trim(line);
        if (line.empty() || is_comment(line)) {
            continue;
        }
        const auto point = point_of(line);
        if (!point) {
            if (pattern.two_theta.empty()) {
                continue; // a header line
            }
            return Failure{subject + " is not a pattern: line " + std::to_string(line_number) +
                           " is not two numbers."};
        }
        pattern.two_theta.push_back(point->first);
        pattern.counts.push_back(point->second);
        line_of_point.push_back(line_number);
    }
    const auto place = [&](std::size_t i) { return "line " + std::to_string(line_of_point[i]); };
    if (const auto problem = pattern_problem(pattern, subject, place)) {
        return Failure{*problem};
    }
    return pattern;
}

Outcome<PatternFile> read_text_scans(std::string_view content, const std::string& path) {
    auto pattern = read_text_pattern(content, path);
    if (!pattern) {
        return Failure{pattern.error()};
    }
    return PatternFile{"two-column text", {std::move(pattern.value())}};
}

} // namespace teravine
