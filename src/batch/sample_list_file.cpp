// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/sample_list_file.h"

#include "batch/csv_records.h"
#include "batch/csv_table.h"
#include "batch/result_csv.h"
#include "text/text_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace teravine {
namespace {

enum Column { kName, kAd, kEg, kBroadening, kUAd, kUEg, kQualityAd, kQualityEg, kColumns };
const std::array<std::string, kColumns> kColumnNames{"name", "ad",   "eg",         "broadening",
                                                     "u_ad", "u_eg", "quality_ad", "quality_eg"};

std::optional<float> parse_number(std::string_view text, char decimal) {
    auto plain = decimal_point_text(text, decimal);
    if (!plain) {
        return std::nullopt;
    }
    if (!plain->empty() && plain->front() == '+') {
        plain->erase(0, 1);
    }
    float value = 0;
    const char* begin = plain->data();
    const char* end = begin + plain->size();
    const auto [ptr, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (plain->empty() || error != std::errc() || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

const CsvColumns& list_columns() {
    static const CsvColumns columns{
        {kColumnNames.begin(), kColumnNames.end()},
        "; a list has the columns name, ad, eg and optionally broadening, u_ad, u_eg, "
        "quality_ad and quality_eg.",
        kMaxListSamples,
        " holds more than 32767 samples."};
    return columns;
}

// A list needs its header, and in it name, ad and eg.
std::optional<std::string> header_refusal(const CsvTable& table) {
    if (table.header_line() == 0) {
        return table.subject() + " is empty: it needs the header line name,ad,eg.";
    }
    for (const Column needed : {kName, kAd, kEg}) {
        if (!table.has(kColumnNames[needed])) {
            return table.subject() + " has no column \"" + kColumnNames[needed] +
                   "\" in its header at line " + std::to_string(table.header_line()) + ".";
        }
    }
    return std::nullopt;
}

// The sample of a row, or the refusal of its first field that is not a number (a negative
// broadening or uncertainty too).
Outcome<ListedSample> sample_of(const CsvTable& table, const CsvTable::Row& row) {
    const char decimal = table.decimal();
    ListedSample sample;
    sample.line = row.line;
    sample.name = row.cells[*table.column(kColumnNames[kName])];
    for (const auto& [c, quality] :
         {std::pair{kQualityAd, &sample.quality_ad}, std::pair{kQualityEg, &sample.quality_eg}}) {
        if (const auto column = table.column(kColumnNames[c])) {
            *quality = csv::trimmed(row.cells[*column]);
        }
    }
    for (const Column c : {kAd, kEg, kBroadening, kUAd, kUEg}) {
        const auto column = table.column(kColumnNames[c]);
        if (!column) {
            continue;
        }
        const std::string& text = row.cells[*column];
        if ((c == kUAd || c == kUEg) && csv::trimmed(text).empty()) {
            continue; // no uncertainty for this sample
        }
        const std::string at = table.place(row, kColumnNames[c]);
        const auto value = parse_number(text, decimal);
        if (!value) {
            return Failure{not_a_number(at, text, decimal)};
        }
        if (c != kAd && c != kEg && *value < 0) {
            return Failure{at + " a negative value."};
        }
        if ((c == kUAd || c == kUEg) && *value > kMaxWidthSigma) {
            return Failure{at + " a u above 0.5°: no measured width is that uncertain."};
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
    return sample;
}

} // namespace

Outcome<NamedList> read_sample_list_text(std::string_view content, const std::string& subject) {
    NamedList list;
    const auto table = CsvTable::read(
        content, subject, list_columns(), header_refusal,
        [&list](const CsvTable& read, const CsvTable::Row& row) -> std::optional<std::string> {
            auto sample = sample_of(read, row);
            if (!sample) {
                return sample.error();
            }
            list.samples.push_back(std::move(sample.value()));
            return std::nullopt;
        });
    if (!table) {
        return Failure{table.error()};
    }
    list.has_broadening = table->has(kColumnNames[kBroadening]);
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

std::optional<std::string> listed_doubt(std::string_view name, std::string_view quality_ad,
                                        std::string_view quality_eg) {
    std::string doubts;
    for (const auto& [side, quality] : {std::pair{"AD", quality_ad}, std::pair{"EG", quality_eg}}) {
        if (doubtful(quality)) {
            doubts += std::string(doubts.empty() ? "" : ", ") + side + " " + std::string(quality);
        }
    }
    if (doubts.empty()) {
        return std::nullopt;
    }
    return "Sample " + std::string(name) + ": doubtful widths, " + doubts;
}

std::string sample_list_header(bool with_u, bool with_quality) {
    return std::string(with_u ? "name,ad,eg,broadening,u_ad,u_eg" : "name,ad,eg,broadening") +
           (with_quality ? ",quality_ad,quality_eg" : "");
}

std::string sample_list_line(const ListedSample& sample, bool with_u, bool with_quality) {
    std::string line = csv_field(sample.name) + ',' + csv_number(sample.ad) + ',' +
                       csv_number(sample.eg) + ',' + csv_number(sample.broadening);
    if (with_u) {
        line += ',' + (sample.u_ad ? csv_number(*sample.u_ad) : std::string()) + ',' +
                (sample.u_eg ? csv_number(*sample.u_eg) : std::string());
    }
    if (with_quality) {
        line += ',' + csv_field(sample.quality_ad) + ',' + csv_field(sample.quality_eg);
    }
    return line;
}

} // namespace teravine
