// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/rigaku_pattern.h"

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

// A line `*KEY "value"` (.ras) or `*KEY = value` (.asc): its key, upper case with the
// star, and its value without quotes.
std::pair<std::string, std::string_view> star_key(std::string_view line) {
    std::size_t end = 1;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '=') {
        ++end;
    }
    std::string key(line.substr(0, end));
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    std::string_view value = trimmed(line.substr(end));
    if (!value.empty() && value.front() == '=') {
        value.remove_prefix(1);
    }
    return {std::move(key), unquoted(value)};
}

std::string_view value_of(const Keys& keys, std::string_view key) {
    const auto found = keys.find(key);
    return found == keys.end() ? std::string_view() : std::string_view(found->second);
}

std::optional<double> number_of(const Keys& keys, std::string_view key) {
    return number_in(value_of(keys, key));
}

// Whether an axis name ("TwoThetaOmega", "2-Theta/Omega", "2theta/theta") moves 2θ; an
// axis not named is taken to.
bool scans_two_theta(std::string_view axis) {
    std::string name;
    for (const char c : axis) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return name.empty() || name.find("2THETA") != std::string::npos ||
           name.find("TWOTHETA") != std::string::npos;
}

// Seconds a step from a speed: seconds a step when its unit says so (or a step scan
// states none), else degrees a minute over the step.
std::optional<double> counting_time(std::optional<double> speed, std::string_view unit,
                                    std::string_view mode, std::optional<double> step) {
    if (!speed || !std::isfinite(*speed) || *speed <= 0) {
        return std::nullopt;
    }
    std::string name;
    for (const char c : unit) {
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const bool per_minute = name.find("min") != std::string::npos;
    const bool seconds = !per_minute && (name.find("sec") != std::string::npos || name == "s" ||
                                         (name.empty() && starts_with_nocase(mode, "step")));
    if (seconds) {
        return *speed;
    }
    if (!step || !std::isfinite(*step) || *step == 0) {
        return std::nullopt;
    }
    return std::abs(*step) * 60 / *speed;
}

CountUnits units_of(std::string_view unit) {
    return starts_with_nocase(unit, "cps") || starts_with_nocase(unit, "counts/s")
               ? CountUnits::per_second
               : CountUnits::counts;
}

std::string line_text(const TextLines& lines) {
    return "line " + std::to_string(lines.number());
}

// One .ras block as it is read.
struct RasBlock {
    Keys keys;
    std::vector<double> two_theta, counts, factors;
    std::size_t line = 0; // of *RAS_INT_START
};

Pattern ras_scan(RasBlock& block) {
    Pattern scan;
    scale_counts(block.counts, block.factors);
    scan.two_theta = std::move(block.two_theta);
    scan.counts = std::move(block.counts);
    const Keys& keys = block.keys;
    scan.wavelength = wavelength_in(value_of(keys, "*HW_XG_WAVE_LENGTH_ALPHA1"));
    scan.alpha2 = wavelength_in(value_of(keys, "*HW_XG_WAVE_LENGTH_ALPHA2"));
    scan.anode = anode_named(value_of(keys, "*HW_XG_TARGET_NAME"));
    if (scan.anode.empty()) {
        scan.anode = anode_named(value_of(keys, "*HW_XG_TARGET_ATOMIC_NUMBER"));
    }
    scan.units = units_of(value_of(keys, "*MEAS_SCAN_UNIT_Y"));
    scan.counting_time =
        counting_time(number_of(keys, "*MEAS_SCAN_SPEED"), value_of(keys, "*MEAS_SCAN_SPEED_UNIT"),
                      value_of(keys, "*MEAS_SCAN_MODE"), number_of(keys, "*MEAS_SCAN_STEP"));
    scan.scan = std::string(value_of(keys, "*FILE_SAMPLE"));
    scan.date = std::string(value_of(keys, "*MEAS_SCAN_START_TIME"));
    put_in_order(scan);
    return scan;
}

Outcome<PatternFile> scans_or_none(PatternFile file, bool any_block, const std::string& path,
                                   const char* none) {
    if (file.scans.empty()) {
        return Failure{
            pattern_subject(path) + " is not a pattern: " +
            (any_block ? std::string("none of its scans moves 2θ.") : std::string(none))};
    }
    return checked_scans(std::move(file), path);
}

} // namespace

bool looks_like_ras(std::string_view content) {
    const auto top = content.substr(0, 4096);
    return top.find("*RAS_DATA_START") != std::string_view::npos ||
           top.find("*RAS_HEADER_START") != std::string_view::npos;
}

bool looks_like_asc(std::string_view content) {
    bool start = false, stop = false, step = false, count = false;
    TextLines lines(content.substr(0, 4096));
    while (const auto line = lines.next()) {
        const auto text = trimmed(*line);
        if (text.empty() || text.front() != '*' || text.find('=') == std::string_view::npos) {
            continue;
        }
        const auto key = star_key(text).first;
        start = start || key == "*START";
        stop = stop || key == "*STOP";
        step = step || key == "*STEP";
        count = count || key == "*COUNT";
    }
    return start && stop && step && count;
}

Outcome<PatternFile> read_ras_scans(std::string_view content, const std::string& path) {
    const std::string subject = pattern_subject(path);
    if (const auto refused = not_text(content, subject)) {
        return Failure{*refused};
    }
    enum class Part { outside, header, data };
    Part part = Part::outside;
    Keys keys;
    std::optional<RasBlock> block;
    PatternFile file{"Rigaku RAS", {}};
    std::size_t blocks = 0;
    std::vector<double> row;
    TextLines lines(content);
    while (const auto raw = lines.next()) {
        const auto line = trimmed(*raw);
        if (line.empty()) {
            continue;
        }
        if (line.front() == '*') {
            const auto [key, value] = star_key(line);
            if (key == "*RAS_HEADER_START") {
                keys.clear();
                part = Part::header;
            } else if (key == "*RAS_HEADER_END") {
                part = Part::outside;
            } else if (key == "*RAS_INT_START") {
                block.emplace();
                block->keys = keys;
                block->line = lines.number();
                part = Part::data;
            } else if (key == "*RAS_INT_END") {
                if (part != Part::data) {
                    return Failure{subject + " is not a RAS pattern: " + line_text(lines) +
                                   " ends data that never started."};
                }
                ++blocks;
                if (scans_two_theta(value_of(block->keys, "*MEAS_SCAN_AXIS_X"))) {
                    file.scans.push_back(ras_scan(*block));
                }
                block.reset();
                part = Part::outside;
            } else if (part == Part::header) {
                keys[key] = std::string(value);
            } else if (part == Part::data) {
                return Failure{subject + " is not a RAS pattern: " + line_text(lines) +
                               " comes inside data before its *RAS_INT_END."};
            }
            continue;
        }
        if (part != Part::data) {
            continue; // text outside the blocks (a note, a signature line)
        }
        row.clear();
        if (!append_numbers(line, row) || row.size() < 2 || row.size() > 3) {
            return Failure{subject + " is not a RAS pattern: " + line_text(lines) +
                           " is not 2θ, counts and an attenuator factor."};
        }
        block->two_theta.push_back(row[0]);
        block->counts.push_back(row[1]);
        block->factors.push_back(row.size() == 3 ? row[2] : 1.0);
    }
    if (part == Part::data) {
        return Failure{subject + " is not a RAS pattern: it ends inside the data that starts at " +
                       "line " + std::to_string(block->line) + " (no *RAS_INT_END)."};
    }
    return scans_or_none(std::move(file), blocks > 0, path,
                         "it holds no *RAS_INT_START ... *RAS_INT_END block.");
}

Outcome<PatternFile> read_asc_scans(std::string_view content, const std::string& path) {
    const std::string subject = pattern_subject(path);
    if (const auto refused = not_text(content, subject)) {
        return Failure{*refused};
    }
    Keys file_keys;  // before the first group
    Keys group_keys; // the file's and the group's own
    bool in_group = false;
    bool in_counts = false;
    std::vector<double> counts;
    std::size_t group_line = 0;
    std::size_t groups = 0;
    PatternFile file{"Rigaku ASC", {}};
    TextLines lines(content);
    while (const auto raw = lines.next()) {
        const auto line = trimmed(*raw);
        if (line.empty()) {
            continue;
        }
        if (line.front() != '*') {
            if (!in_counts) {
                return Failure{subject + " is not a Rigaku ASC pattern: " + line_text(lines) +
                               " holds values outside a group's counts."};
            }
            if (!append_numbers(line, counts)) {
                return Failure{subject + " is not a Rigaku ASC pattern: " + line_text(lines) +
                               " is not counts."};
            }
            continue;
        }
        const auto [key, value] = star_key(line);
        if (key == "*BEGIN") {
            group_keys = file_keys;
            in_group = true;
            in_counts = false;
            counts.clear();
            group_line = lines.number();
        } else if (key == "*END") {
            if (!in_group) {
                return Failure{subject + " is not a Rigaku ASC pattern: " + line_text(lines) +
                               " ends a group that never began."};
            }
            ++groups;
            const std::string where =
                subject + ", the group at line " + std::to_string(group_line) + ",";
            const auto declared = number_of(group_keys, "*COUNT");
            if (!declared || *declared != static_cast<double>(counts.size())) {
                return Failure{where + " states " +
                               (declared ? number_text(*declared) : std::string("no")) +
                               " counts (*COUNT) but holds " + std::to_string(counts.size()) + "."};
            }
            const auto start = number_of(group_keys, "*START");
            const auto step = number_of(group_keys, "*STEP");
            if (!start || !step) {
                return Failure{where + " has no *START and *STEP of 2θ."};
            }
            const auto stop = number_of(group_keys, "*STOP");
            if (const auto problem = stop
                                         ? range_problem(*start, *stop, *step, counts.size(), where)
                                         : step_problem(*start, *step, where)) {
                return Failure{*problem};
            }
            if (scans_two_theta(value_of(group_keys, "*SCAN_AXIS"))) {
                Pattern scan;
                scan.two_theta = evenly_spaced(*start, *step, counts.size());
                scan.counts = std::move(counts);
                scan.wavelength = wavelength_in(value_of(group_keys, "*WAVE_LENGTH1"));
                scan.alpha2 = wavelength_in(value_of(group_keys, "*WAVE_LENGTH2"));
                scan.anode = anode_named(value_of(group_keys, "*TARGET"));
                scan.units = units_of(value_of(group_keys, "*YUNIT"));
                scan.counting_time = counting_time(number_of(group_keys, "*SPEED"),
                                                   value_of(group_keys, "*SPEED_DIM"),
                                                   value_of(group_keys, "*MEAS_MODE"), step);
                scan.scan = "group " + std::string(value_of(group_keys, "*GROUP"));
                put_in_order(scan);
                file.scans.push_back(std::move(scan));
            }
            counts = {};
            in_group = false;
            in_counts = false;
        } else if (key == "*EOF") {
            break;
        } else {
            (in_group ? group_keys : file_keys)[key] = std::string(value);
            in_counts = in_group && key == "*COUNT";
        }
    }
    if (in_group) {
        return Failure{subject + " is not a Rigaku ASC pattern: the group at line " +
                       std::to_string(group_line) + " has no *END."};
    }
    return scans_or_none(std::move(file), groups > 0, path, "it holds no *BEGIN ... *END group.");
}

} // namespace teravine
