// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/uxd_pattern.h"

#include "formats/scan_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace teravine {
namespace {

using Keys = std::map<std::string, std::string, std::less<>>;

// What follows a data marker: counts alone, or 2θ and count pairs; counts or per second.
struct Range {
    Keys keys; // as they stood at the marker
    bool pairs = false;
    bool per_second = false;
    std::vector<double> values;
    std::size_t line = 0; // of the marker
};

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

std::optional<std::string_view> key_value(const Keys& keys, std::string_view key) {
    const auto found = keys.find(key);
    if (found == keys.end()) {
        return std::nullopt;
    }
    return std::string_view(found->second);
}

std::optional<double> key_number(const Keys& keys, std::string_view key) {
    const auto value = key_value(keys, key);
    return value ? number_in(unquoted(*value)) : std::nullopt;
}

// Whether the range's drive moves 2θ: coupled θ/2θ, 2θ alone, or none stated.
bool moves_two_theta(const Keys& keys) {
    const auto drive = key_value(keys, "_DRIVE");
    if (!drive) {
        return true;
    }
    const std::string name = upper(unquoted(*drive));
    return name.empty() || name.find("COUPLED") != std::string::npos ||
           name.find("2THETA") != std::string::npos || name.find("TWOTHETA") != std::string::npos;
}

Outcome<Pattern> scan_of(Range& range, const std::string& where) {
    Pattern scan;
    if (range.pairs) {
        if (range.values.size() % 2 != 0) {
            return Failure{where + " is not pairs of 2θ and counts."};
        }
        for (std::size_t i = 0; i < range.values.size(); i += 2) {
            scan.two_theta.push_back(range.values[i]);
            scan.counts.push_back(range.values[i + 1]);
        }
    } else {
        auto start = key_number(range.keys, "_START");
        if (!start) {
            start = key_number(range.keys, "_2THETA");
        }
        const auto step = key_number(range.keys, "_STEPSIZE");
        if (!start || !step) {
            return Failure{where + " has no _START (or _2THETA) and _STEPSIZE."};
        }
        if (const auto problem = step_problem(*start, *step, where)) {
            return Failure{*problem};
        }
        if (const auto steps = key_number(range.keys, "_STEPCOUNT");
            steps && *steps != static_cast<double>(range.values.size())) {
            return Failure{where + " states " + number_text(*steps) + " steps but holds " +
                           std::to_string(range.values.size()) + " counts."};
        }
        scan.two_theta = evenly_spaced(*start, *step, range.values.size());
        scan.counts = std::move(range.values);
    }
    scan.units = range.per_second ? CountUnits::per_second : CountUnits::counts;
    if (const auto time = key_number(range.keys, "_STEPTIME"); time && *time > 0) {
        scan.counting_time = *time;
    }
    if (const auto value = key_value(range.keys, "_WL1")) {
        scan.wavelength = wavelength_in(*value);
    }
    if (const auto value = key_value(range.keys, "_WL2")) {
        scan.alpha2 = wavelength_in(*value);
    }
    if (const auto ratio = key_number(range.keys, "_WLRATIO");
        ratio && *ratio >= 0 && *ratio <= 1) {
        scan.alpha2_ratio = *ratio;
    }
    if (const auto anode = key_value(range.keys, "_ANODE")) {
        scan.anode = anode_named(*anode);
    }
    put_in_order(scan);
    return scan;
}

// The data markers and what they hold.
std::optional<Range> range_marker(std::string_view word) {
    const std::string name = upper(word);
    Range range;
    if (name == "_COUNTS" || name == "_CPS") {
        range.per_second = name == "_CPS";
        return range;
    }
    if (name == "_2THETACOUNTS" || name == "_2THETACPS") {
        range.pairs = true;
        range.per_second = name == "_2THETACPS";
        return range;
    }
    return std::nullopt;
}

} // namespace

bool looks_like_uxd(std::string_view content) {
    TextLines lines(content.substr(0, 4096));
    while (const auto line = lines.next()) {
        const auto text = trimmed(*line);
        for (const std::string_view key : {"_2THETA", "_STEPSIZE"}) {
            if (text.substr(0, key.size()) == key &&
                trimmed(text.substr(key.size())).substr(0, 1) == "=") {
                return true;
            }
        }
    }
    return false;
}

Outcome<PatternFile> read_uxd_scans(std::string_view content, const std::string& path) {
    const std::string subject = pattern_subject(path);
    if (const auto refused = not_text(content, subject)) {
        return Failure{*refused};
    }
    Keys keys;
    std::vector<Range> ranges;
    bool in_data = false;
    TextLines lines(content);
    while (const auto raw = lines.next()) {
        const auto line = trimmed(*raw);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '_') {
            const auto equals = line.find('=');
            const auto word = trimmed(line.substr(0, equals));
            if (equals == std::string_view::npos) {
                auto range = range_marker(word);
                if (!range) {
                    return Failure{subject + " is not a UXD pattern: line " +
                                   std::to_string(lines.number()) + " (" + std::string(word) +
                                   ") is neither a key nor a data marker."};
                }
                range->keys = keys;
                range->line = lines.number();
                ranges.push_back(std::move(*range));
                in_data = true;
                continue;
            }
            in_data = false;
            keys[upper(word)] = std::string(trimmed(line.substr(equals + 1)));
            continue;
        }
        if (!in_data) {
            return Failure{subject + " is not a UXD pattern: line " +
                           std::to_string(lines.number()) + " holds values before any " +
                           "_COUNTS or _CPS."};
        }
        if (!append_numbers(line, ranges.back().values)) {
            return Failure{subject + " is not a UXD pattern: line " +
                           std::to_string(lines.number()) + " is not numbers."};
        }
    }
    PatternFile file{"UXD", {}};
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        if (!moves_two_theta(ranges[r].keys)) {
            continue;
        }
        const std::string where = subject + ", range " + std::to_string(r + 1) + " (line " +
                                  std::to_string(ranges[r].line) + "),";
        auto scan = scan_of(ranges[r], where);
        if (!scan) {
            return Failure{scan.error()};
        }
        scan.value().scan = "range " + std::to_string(r + 1);
        file.scans.push_back(std::move(scan.value()));
    }
    if (file.scans.empty()) {
        return Failure{subject + " is not a pattern: " +
                       (ranges.empty() ? std::string("it holds no _COUNTS or _CPS.")
                                       : std::string("none of its ranges scans 2θ."))};
    }
    return checked_scans(std::move(file), path);
}

} // namespace teravine
