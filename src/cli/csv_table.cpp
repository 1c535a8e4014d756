// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/csv_table.h"

#include "batch/csv_records.h"
#include "cli/standard_streams.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace teravine::cli {
namespace {

// Lists of standards and of widths are short; this bounds what a wrong file costs.
constexpr std::size_t kMaxRows = 100000;

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& name : names) {
        out += (out.empty() ? "" : ", ") + name;
    }
    return out;
}

} // namespace

Outcome<CsvTable> CsvTable::read(const std::string& path, const std::vector<std::string>& known,
                                 const std::vector<std::string>& needed) {
    CsvTable table;
    table.subject_ = "The list \"" + path + "\"";
    auto content_read = read_input_text(path);
    if (!content_read) {
        return Failure{content_read.error()};
    }
    std::string_view content = *content_read;
    if (content.find('\0') != std::string_view::npos) {
        return Failure{table.subject_ + " is not a text file."};
    }
    if (content.substr(0, 3) == "\xEF\xBB\xBF") {
        content.remove_prefix(3); // a spreadsheet's byte order mark
    }
    const char separator = csv::list_separator(content);
    table.decimal_ = separator == ';' ? ',' : '.';
    csv::RecordReader reader(content, separator, table.subject_);
    std::optional<csv::Record> header;
    while (!reader.at_end()) {
        auto record = reader.next();
        if (!record) {
            return Failure{record.error()};
        }
        if (csv::blank(*record)) {
            continue;
        }
        if (!header) {
            header = std::move(record.value());
            for (std::size_t i = 0; i < header->fields.size(); ++i) {
                const std::string name(csv::trimmed(header->fields[i].text));
                const std::string at = table.subject_ + " has at line " +
                                       std::to_string(header->line) + ", column " +
                                       std::to_string(i + 1);
                if (std::find(known.begin(), known.end(), name) == known.end()) {
                    return Failure{at + " the column \"" + name + "\"; its columns are " +
                                   joined(known) + "."};
                }
                if (table.has(name)) {
                    return Failure{at + " the column \"" + name + "\" a second time."};
                }
                table.columns_.push_back(name);
            }
            continue;
        }
        if (record->fields.size() != table.columns_.size()) {
            return Failure{table.subject_ + " has at line " + std::to_string(record->line) + " " +
                           std::to_string(record->fields.size()) + " fields where the header has " +
                           std::to_string(table.columns_.size()) + "."};
        }
        if (table.rows_.size() >= kMaxRows) {
            return Failure{table.subject_ + " holds more than 100000 rows."};
        }
        Row row{{}, record->line};
        for (const auto& field : record->fields) {
            row.cells.push_back(field.text);
        }
        table.rows_.push_back(std::move(row));
    }
    for (const auto& name : needed) {
        if (!table.has(name)) {
            return Failure{table.subject_ + " has no column \"" + name + "\"; it needs " +
                           joined(needed) + "."};
        }
    }
    return table;
}

bool CsvTable::has(const std::string& column) const {
    return std::find(columns_.begin(), columns_.end(), column) != columns_.end();
}

std::string CsvTable::text(const Row& row, const std::string& column) const {
    const auto found = std::find(columns_.begin(), columns_.end(), column);
    if (found == columns_.end()) {
        return {};
    }
    return std::string(csv::trimmed(row.cells[static_cast<std::size_t>(found - columns_.begin())]));
}

std::string CsvTable::place(const Row& row, const std::string& column) const {
    const auto found = std::find(columns_.begin(), columns_.end(), column);
    return subject_ + " has at line " + std::to_string(row.line) + ", column " +
           std::to_string(found - columns_.begin() + 1) + " (" + column + ")";
}

Outcome<std::optional<double>> CsvTable::number(const Row& row, const std::string& column) const {
    std::string plain = text(row, column);
    if (plain.empty()) {
        return std::optional<double>();
    }
    if (decimal_ == ',') {
        if (plain.find('.') != std::string::npos) {
            plain = "x"; // a point where the list has decimal commas
        }
        std::replace(plain.begin(), plain.end(), ',', '.');
    }
    double value = 0;
    const char* end = plain.data() + plain.size();
    const auto [ptr, error] = std::from_chars(plain.data(), end, value);
    if (error != std::errc() || ptr != end || !std::isfinite(value)) {
        return Failure{place(row, column) + " \"" + text(row, column) +
                       "\", which is not a number" +
                       (decimal_ == ',' ? " with a decimal comma." : ".")};
    }
    return std::optional<double>(value);
}

} // namespace teravine::cli
