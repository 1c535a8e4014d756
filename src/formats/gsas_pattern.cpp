// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/gsas_pattern.h"

#include "formats/scan_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace teravine {
namespace {

constexpr std::size_t kFieldWidth = 8;

std::vector<std::string_view> words_of(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string_view::npos) {
            break;
        }
        const auto end = std::min(line.find_first_of(" \t", at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

bool is_bank_line(std::string_view line) {
    if (line.substr(0, 4) != "BANK") {
        return false;
    }
    const auto words = words_of(line.substr(0, 200));
    return words.size() >= 5 && words[0] == "BANK" && number_in(words[1]).has_value();
}

// A bank as its line states it, and the lines of its data.
struct Bank {
    std::vector<std::string_view> words; // of the BANK line
    std::vector<std::string_view> data;
    std::size_t line = 0;
};

// The fields of 8 characters of a record, blank ones at its end left out.
std::vector<std::string_view> fixed_fields(std::string_view record) {
    std::vector<std::string_view> fields;
    for (std::size_t at = 0; at < record.size(); at += kFieldWidth) {
        fields.push_back(record.substr(at, kFieldWidth));
    }
    while (!fields.empty() && trimmed(fields.back()).empty()) {
        fields.pop_back();
    }
    return fields;
}

// The intensities of a bank's records, or the number of the record line that is not.
Outcome<std::vector<double>> intensities(const Bank& bank, const std::string& type,
                                         const std::string& where) {
    std::vector<double> values;
    std::size_t record = 0;
    for (const auto line : bank.data) {
        ++record;
        const auto fields = fixed_fields(line);
        for (std::size_t f = 0; f < fields.size(); ++f) {
            std::string_view value = fields[f];
            if (type == "ESD") {
                if (f % 2 == 1) {
                    continue; // the uncertainty
                }
            } else { // STD: a count of counters, then the intensity
                const auto counters = trimmed(value.substr(0, 2));
                if (!counters.empty() && !std::all_of(counters.begin(), counters.end(), [](char c) {
                        return std::isdigit(static_cast<unsigned char>(c));
                    })) {
                    value = {};
                } else {
                    value = value.substr(std::min<std::size_t>(2, value.size()));
                }
            }
            const auto number = number_in(value);
            if (!number) {
                return Failure{where + " record " + std::to_string(record) + " is not fields of " +
                               type + " data."};
            }
            values.push_back(*number);
        }
    }
    return values;
}

Outcome<Pattern> constant_bank(const Bank& bank, const std::string& where) {
    const auto& words = bank.words;
    const auto points = number_in(words[2]);
    const auto stated_start = words.size() > 5 ? number_in(words[5]) : std::nullopt;
    const auto stated_step = words.size() > 6 ? number_in(words[6]) : std::nullopt;
    if (!points || !(*points >= 0 && *points <= 1e9) || *points != std::floor(*points) ||
        !stated_start || !stated_step) {
        return Failure{where + " does not state its points, start and step."};
    }
    const double start = *stated_start / 100; // centidegrees
    const double step = *stated_step / 100;
    std::string type = "STD";
    for (const std::string_view word : {"STD", "ESD", "FXYE", "FXY", "ALT"}) {
        if (words.back() == word) {
            type = std::string(word);
        }
    }
    Pattern scan;
    if (type == "FXY" || type == "FXYE") {
        std::size_t record = 0;
        std::vector<double> row;
        for (const auto line : bank.data) {
            ++record;
            row.clear();
            if (!append_numbers(line, row) || row.size() < 2) {
                return Failure{where + " line " + std::to_string(record) +
                               " of its data is not 2θ and intensity."};
            }
            scan.two_theta.push_back(row[0] / 100);
            scan.counts.push_back(row[1]);
        }
    } else if (type == "ALT") {
        return Failure{where + " is laid out as ALT, which is for time-of-flight data."};
    } else {
        if (const auto problem = step_problem(start, step, where)) {
            return Failure{*problem};
        }
        auto values = intensities(bank, type, where);
        if (!values) {
            return Failure{values.error()};
        }
        if (static_cast<double>(values->size()) < *points) {
            return Failure{where + " states " + number_text(*points) + " points but holds " +
                           std::to_string(values->size()) + "."};
        }
        values.value().resize(static_cast<std::size_t>(*points)); // the last record's padding
        scan.counts = std::move(values.value());
        scan.two_theta = evenly_spaced(start, step, scan.counts.size());
    }
    if (static_cast<double>(scan.counts.size()) != *points) {
        return Failure{where + " states " + number_text(*points) + " points but holds " +
                       std::to_string(scan.counts.size()) + "."};
    }
    put_in_order(scan);
    return scan;
}

} // namespace

bool looks_like_gsas(std::string_view content) {
    TextLines lines(content.substr(0, 4096));
    while (const auto line = lines.next()) {
        if (!is_bank_line(*line)) {
            continue;
        }
        const auto words = words_of(*line);
        for (const std::string_view binning : {"CONST", "CONS", "RALF", "SLOG", "TIME_MAP"}) {
            if (words[4] == binning) {
                return true;
            }
        }
    }
    return false;
}

Outcome<PatternFile> read_gsas_scans(std::string_view content, const std::string& path) {
    const std::string subject = pattern_subject(path);
    if (const auto refused = not_text(content, subject)) {
        return Failure{*refused};
    }
    std::vector<Bank> banks;
    TextLines lines(content);
    lines.next(); // the title, whatever it says
    while (const auto line = lines.next()) {
        if (is_bank_line(*line)) {
            banks.push_back({words_of(*line), {}, lines.number()});
        } else if (!banks.empty() && !trimmed(*line).empty() && line->front() != '#') {
            banks.back().data.push_back(*line);
        }
    }
    if (banks.empty()) {
        return Failure{subject + " is not a pattern: it holds no GSAS BANK line."};
    }
    PatternFile file{"GSAS", {}};
    for (const auto& bank : banks) {
        const std::string binning(bank.words[4]);
        if (binning != "CONST" && binning != "CONS") {
            continue;
        }
        const std::string where = subject + ", bank " + std::string(bank.words[1]) + " (line " +
                                  std::to_string(bank.line) + "),";
        auto scan = constant_bank(bank, where);
        if (!scan) {
            return Failure{scan.error()};
        }
        scan.value().scan = "bank " + std::string(bank.words[1]);
        file.scans.push_back(std::move(scan.value()));
    }
    if (file.scans.empty()) {
        return Failure{subject + " is not a pattern: its banks are time-of-flight, not 2θ."};
    }
    return checked_scans(std::move(file), path);
}

} // namespace teravine
