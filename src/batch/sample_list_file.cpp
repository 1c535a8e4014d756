// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/sample_list_file.h"

#include "batch/csv_records.h"
#include "batch/result_csv.h"
#include "text/text_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace teravine {
namespace {

using csv::blank;
using csv::list_separator;
using csv::Record;
using csv::RecordReader;
using csv::trimmed;

enum Column { kName, kAd, kEg, kBroadening, kUAd, kUEg, kColumns };
constexpr std::array<std::string_view, kColumns> kColumnNames{"name",       "ad",   "eg",
                                                              "broadening", "u_ad", "u_eg"};

std::optional<float> parse_number(std::string_view text, char decimal) {
    std::string plain(trimmed(text));
    if (decimal == ',') {
        if (plain.find('.') != std::string::npos) {
            return std::nullopt;
        }
        std::replace(plain.begin(), plain.end(), ',', '.');
    }
    if (!plain.empty() && plain.front() == '+') {
        plain.erase(0, 1);
    }
    float value = 0;
    const char* begin = plain.data();
    const char* end = begin + plain.size();
    const auto [ptr, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (plain.empty() || error != std::errc() || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace

Outcome<NamedList> read_sample_list_text(std::string_view content, const std::string& subject) {
    if (content.find('\0') != std::string_view::npos) {
        return Failure{subject + " is not a text file."};
    }
    if (content.substr(0, 3) == "\xEF\xBB\xBF") {
        content.remove_prefix(3); // a spreadsheet's byte order mark
    }
    const char separator = list_separator(content);
    const char decimal = separator == ';' ? ',' : '.';
    RecordReader reader(content, separator, subject);

    std::optional<Record> header;
    while (!header && !reader.at_end()) {
        auto record = reader.next();
        if (!record) {
            return Failure{record.error()};
        }
        if (!blank(*record)) {
            header = std::move(record.value());
        }
    }
    if (!header) {
        return Failure{subject + " is empty: it needs the header line name,ad,eg."};
    }
    std::array<int, kColumns> position;
    position.fill(-1);
    for (std::size_t i = 0; i < header->fields.size(); ++i) {
        const std::string_view title = trimmed(header->fields[i].text);
        const auto known = std::find(kColumnNames.begin(), kColumnNames.end(), title);
        const std::string at = subject + " has at line " + std::to_string(header->line) +
                               ", column " + std::to_string(i + 1);
        if (known == kColumnNames.end()) {
            return Failure{at + " the column \"" + std::string(title) +
                           "\"; a list has the columns name, ad, eg and optionally "
                           "broadening, u_ad and u_eg."};
        }
        auto& slot = position[static_cast<std::size_t>(known - kColumnNames.begin())];
        if (slot >= 0) {
            return Failure{at + " the column \"" + std::string(title) + "\" a second time."};
        }
        slot = static_cast<int>(i);
    }
    for (const Column needed : {kName, kAd, kEg}) {
        if (position[needed] < 0) {
            return Failure{subject + " has no column \"" + std::string(kColumnNames[needed]) +
                           "\" in its header at line " + std::to_string(header->line) + "."};
        }
    }

    NamedList list;
    list.has_broadening = position[kBroadening] >= 0;
    while (!reader.at_end()) {
        auto record = reader.next();
        if (!record) {
            return Failure{record.error()};
        }
        if (blank(*record)) {
            continue;
        }
        const std::string line = subject + " has at line " + std::to_string(record->line);
        if (record->fields.size() != header->fields.size()) {
            return Failure{line + " " + std::to_string(record->fields.size()) + " fields where " +
                           "the header has " + std::to_string(header->fields.size()) + "."};
        }
        if (list.samples.size() >= kMaxListSamples) {
            return Failure{subject + " holds more than 32767 samples."};
        }
        ListedSample sample;
        sample.line = record->line;
        sample.name = record->fields[static_cast<std::size_t>(position[kName])].text;
        for (const Column c : {kAd, kEg, kBroadening, kUAd, kUEg}) {
            if (position[c] < 0) {
                continue;
            }
            const std::size_t column = static_cast<std::size_t>(position[c]);
            const std::string& text = record->fields[column].text;
            const std::string at = line + ", column " + std::to_string(column + 1) + " (" +
                                   std::string(kColumnNames[c]) + ")";
            if ((c == kUAd || c == kUEg) && trimmed(text).empty()) {
                continue; // no uncertainty for this sample
            }
            const auto value = parse_number(text, decimal);
            if (!value) {
                return Failure{at + " \"" + text + "\", which is not a number" +
                               (decimal == ',' ? " with a decimal comma." : ".")};
            }
            if (c != kAd && c != kEg && *value < 0) {
                return Failure{at + " a negative value."};
            }
            switch (c) {
            case kAd:
                sample.ad = *value;
                break;
            case kEg:
                sample.eg = *value;
                break;
            case kBroadening:
                sample.broadening = *value;
                break;
            case kUAd:
                sample.u_ad = *value;
                break;
            default:
                sample.u_eg = *value;
                break;
            }
        }
        list.samples.push_back(std::move(sample));
    }
    return list;
}

Outcome<NamedList> read_sample_list_file(const std::string& path) {
    const auto text = read_text_file(path);
    if (!text) {
        return Failure{text.error()};
    }
    return read_sample_list_text(*text, "The list \"" + path + "\"");
}

std::optional<float> shared_broadening(const NamedList& list) {
    if (list.samples.empty()) {
        return 0.0f;
    }
    const float first = list.samples.front().broadening;
    for (const ListedSample& sample : list.samples) {
        if (sample.broadening != first) {
            return std::nullopt;
        }
    }
    return first;
}

WidthFile widths_of_list(const NamedList& list, std::string title) {
    WidthFile widths;
    widths.title = std::move(title);
    widths.count = static_cast<std::int16_t>(list.samples.size());
    const auto shared = shared_broadening(list);
    widths.broadening = shared ? *shared : list.samples.front().broadening;
    for (const ListedSample& sample : list.samples) {
        widths.names.push_back(sample.name);
        widths.ad.push_back(sample.ad);
        widths.eg.push_back(sample.eg);
        if (!shared) {
            widths.broadenings.push_back(sample.broadening);
        }
    }
    return widths;
}

std::optional<WidthSigmas> sample_sigmas(std::optional<float> u_ad, std::optional<float> u_eg,
                                         const std::optional<WidthSigmas>& table) {
    if (!u_ad && !u_eg) {
        return table;
    }
    WidthSigmas own = table.value_or(WidthSigmas{});
    own.ad = u_ad ? *u_ad : *u_eg;
    own.eg = u_eg ? *u_eg : own.ad;
    return own;
}

bool is_sample_list_path(std::string_view path) {
    if (path.size() < 4) {
        return false;
    }
    std::string suffix(path.substr(path.size() - 4));
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return suffix == ".csv";
}

std::string sample_list_header(bool with_u) {
    return with_u ? "name,ad,eg,broadening,u_ad,u_eg" : "name,ad,eg,broadening";
}

std::string sample_list_line(const ListedSample& sample, bool with_u) {
    std::string line = csv_field(sample.name) + ',' + csv_number(sample.ad) + ',' +
                       csv_number(sample.eg) + ',' + csv_number(sample.broadening);
    if (with_u) {
        line += ',' + (sample.u_ad ? csv_number(*sample.u_ad) : std::string()) + ',' +
                (sample.u_eg ? csv_number(*sample.u_eg) : std::string());
    }
    return line;
}

} // namespace teravine
