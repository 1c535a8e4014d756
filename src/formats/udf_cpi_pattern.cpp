// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/udf_cpi_pattern.h"

#include "formats/scan_text.h"

#include <cmath>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace teravine {
namespace {

// A .udf header line "Key, value, value,/": its key and the fields after it.
std::pair<std::string_view, std::vector<std::string_view>> udf_fields(std::string_view line) {
    if (!line.empty() && line.back() == '/') {
        line.remove_suffix(1);
    }
    std::vector<std::string_view> fields;
    std::size_t from = 0;
    while (from <= line.size()) {
        auto comma = line.find(',', from);
        comma = comma == std::string_view::npos ? line.size() : comma;
        fields.push_back(trimmed(line.substr(from, comma - from)));
        from = comma + 1;
    }
    const std::string_view key = fields.front();
    fields.erase(fields.begin());
    while (!fields.empty() && fields.back().empty()) {
        fields.pop_back();
    }
    return {key, std::move(fields)};
}

} // namespace

bool looks_like_udf(std::string_view content) {
    bool range = false, step = false;
    TextLines lines(content.substr(0, 4096));
    while (const auto line = lines.next()) {
        const auto text = trimmed(*line);
        range = range || text.substr(0, 15) == "DataAngleRange,";
        step = step || text.substr(0, 13) == "ScanStepSize,";
    }
    return range && step;
}

bool looks_like_cpi(std::string_view content) {
    TextLines lines(content.substr(0, 256));
    const auto first = lines.next();
    return first && trimmed(*first) == "SIETRONICS XRD SCAN";
}

Outcome<PatternFile> read_udf_scans(std::string_view content, const std::string& path) {
    const std::string subject = pattern_subject(path);
    if (const auto refused = not_text(content, subject)) {
        return Failure{*refused};
    }
    std::map<std::string, std::vector<std::string_view>, std::less<>> keys;
    std::vector<double> counts;
    bool in_counts = false;
    bool closed = false;
    TextLines lines(content);
    while (const auto raw = lines.next()) {
        auto line = trimmed(*raw);
        if (line.empty()) {
            continue;
        }
        if (!in_counts) {
            if (line == "RawScan") {
                in_counts = true;
                continue;
            }
            auto [key, fields] = udf_fields(line);
            keys[std::string(key)] = std::move(fields);
            continue;
        }
        if (closed) {
            return Failure{subject + " is not a UDF pattern: line " +
                           std::to_string(lines.number()) + " follows the '/' that ends " +
                           "its counts."};
        }
        if (line.back() == '/') {
            line.remove_suffix(1);
            closed = true;
        }
        if (!append_numbers(line, counts)) {
            return Failure{subject + " is not a UDF pattern: line " +
                           std::to_string(lines.number()) + " is not counts."};
        }
    }
    const auto field = [&](std::string_view key, std::size_t i) -> std::optional<double> {
        const auto found = keys.find(key);
        if (found == keys.end() || found->second.size() <= i) {
            return std::nullopt;
        }
        return number_in(found->second[i]);
    };
    const auto text = [&](std::string_view key) -> std::string_view {
        const auto found = keys.find(key);
        return found == keys.end() || found->second.empty() ? std::string_view()
                                                            : found->second.front();
    };
    if (!in_counts) {
        return Failure{subject + " is not a pattern: it has no RawScan."};
    }
    const auto start = field("DataAngleRange", 0);
    const auto end = field("DataAngleRange", 1);
    const auto step = field("ScanStepSize", 0);
    if (!start || !end || !step) {
        return Failure{subject + " is not a pattern: it has no DataAngleRange and ScanStepSize."};
    }
    if (const auto problem = range_problem(*start, *end, *step, counts.size(), subject)) {
        return Failure{*problem};
    }
    Pattern scan;
    scan.two_theta = evenly_spaced(*start, *step, counts.size());
    scan.counts = std::move(counts);
    scan.wavelength = wavelength_in(text("LabdaAlpha1"));
    scan.alpha2 = wavelength_in(text("LabdaAlpha2"));
    if (const auto ratio = field("RatioAlpha21", 0); ratio && *ratio >= 0 && *ratio <= 1) {
        scan.alpha2_ratio = *ratio;
    }
    scan.anode = anode_named(text("Anode"));
    if (const auto time = field("ScanStepTime", 0); time && *time > 0) {
        scan.counting_time = *time;
    }
    scan.scan = std::string(text("SampleIdent"));
    put_in_order(scan);
    return checked_scans(PatternFile{"Philips UDF", {std::move(scan)}}, path);
}

Outcome<PatternFile> read_cpi_scans(std::string_view content, const std::string& path) {
    const std::string subject = pattern_subject(path);
    if (const auto refused = not_text(content, subject)) {
        return Failure{*refused};
    }
    TextLines lines(content);
    std::string_view header[6]; // marker, start, end, step, anode, wavelength
    for (auto& line : header) {
        const auto next = lines.next();
        if (!next) {
            return Failure{subject + " is not a pattern: its Sietronics header ends early."};
        }
        line = trimmed(*next);
    }
    if (header[0] != "SIETRONICS XRD SCAN") {
        return Failure{subject + " is not a pattern: it does not start with \"SIETRONICS XRD "
                                 "SCAN\"."};
    }
    const auto start = number_in(header[1]);
    const auto end = number_in(header[2]);
    const auto step = number_in(header[3]);
    if (!start || !end || !step) {
        return Failure{subject + " is not a pattern: lines 2 to 4 are not the start, end and "
                                 "step of 2θ."};
    }
    bool in_counts = false;
    std::vector<double> counts;
    while (const auto raw = lines.next()) {
        const auto line = trimmed(*raw);
        if (!in_counts) {
            in_counts = line == "SCANDATA";
            continue;
        }
        if (!line.empty() && !append_numbers(line, counts)) {
            return Failure{subject + " is not a Sietronics pattern: line " +
                           std::to_string(lines.number()) + " is not counts."};
        }
    }
    if (!in_counts) {
        return Failure{subject + " is not a pattern: it has no SCANDATA."};
    }
    if (const auto problem = range_problem(*start, *end, *step, counts.size(), subject)) {
        return Failure{*problem};
    }
    Pattern scan;
    scan.two_theta = evenly_spaced(*start, *step, counts.size());
    scan.counts = std::move(counts);
    scan.anode = anode_named(header[4]);
    scan.wavelength = wavelength_in(header[5]);
    put_in_order(scan);
    return checked_scans(PatternFile{"Sietronics CPI", {std::move(scan)}}, path);
}

} // namespace teravine
