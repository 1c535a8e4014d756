// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/csv_table.h"

#include "batch/csv_records.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace teravine {

Outcome<CsvTable> CsvTable::read(std::string_view content, std::string subject,
                                 const CsvColumns& columns, const HeaderCheck& check,
                                 const RowCheck& check_row) {
    CsvTable table;
    table.subject_ = std::move(subject);
    if (content.find('\0') != std::string_view::npos) {
        return Failure{table.subject_ + " is not a text file."};
    }
    if (content.substr(0, 3) == "\xEF\xBB\xBF") {
        content.remove_prefix(3); // a spreadsheet's byte order mark
    }
    const char separator = csv::list_separator(content);
    table.decimal_ = separator == ';' ? ',' : '.';
    csv::RecordReader reader(content, separator, table.subject_);
    bool checked = false;
    while (!reader.at_end()) {
        auto record = reader.next();
        if (!record) {
            return Failure{record.error()};
        }
        if (csv::blank(*record)) {
            continue;
        }
        if (table.header_line_ == 0) {
            table.header_line_ = record->line;
            for (std::size_t i = 0; i < record->fields.size(); ++i) {
                const std::string name(csv::trimmed(record->fields[i].text));
                const std::string at = table.subject_ + " has at line " +
                                       std::to_string(record->line) + ", column " +
                                       std::to_string(i + 1);
                if (std::find(columns.known.begin(), columns.known.end(), name) ==
                    columns.known.end()) {
                    return Failure{at + " the column \"" + name + "\"" + columns.listed};
                }
                if (table.has(name)) {
                    return Failure{at + " the column \"" + name + "\" a second time."};
                }
                table.columns_.push_back(name);
            }
            checked = true;
            if (check) {
                if (auto refusal = check(table)) {
                    return Failure{std::move(*refusal)};
                }
            }
            continue;
        }
        if (record->fields.size() != table.columns_.size()) {
            return Failure{table.subject_ + " has at line " + std::to_string(record->line) + " " +
                           std::to_string(record->fields.size()) + " fields where the header has " +
                           std::to_string(table.columns_.size()) + "."};
        }
        if (table.rows_.size() >= columns.max_rows) {
            return Failure{table.subject_ + columns.too_many};
        }
        Row row{{}, record->line};
        for (auto& field : record->fields) {
            row.cells.push_back(std::move(field.text));
        }
        table.rows_.push_back(std::move(row));
        if (check_row) {
            if (auto refusal = check_row(table, table.rows_.back())) {
                return Failure{std::move(*refusal)};
            }
        }
    }
    if (!checked && check) {
        if (auto refusal = check(table)) {
            return Failure{std::move(*refusal)};
        }
    }
    return table;
}

bool CsvTable::has(const std::string& name) const {
    return column(name).has_value();
}

std::optional<std::size_t> CsvTable::column(const std::string& name) const {
    const auto found = std::find(columns_.begin(), columns_.end(), name);
    if (found == columns_.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - columns_.begin());
}

std::string CsvTable::text(const Row& row, const std::string& name) const {
    const auto at = column(name);
    if (!at) {
        return {};
    }
    return std::string(csv::trimmed(row.cells[*at]));
}

std::string CsvTable::place(const Row& row, const std::string& name) const {
    const auto found = std::find(columns_.begin(), columns_.end(), name);
    return subject_ + " has at line " + std::to_string(row.line) + ", column " +
           std::to_string(found - columns_.begin() + 1) + " (" + name + ")";
}

Outcome<std::optional<double>> CsvTable::number(const Row& row, const std::string& name) const {
    const std::string cell = text(row, name);
    if (cell.empty()) {
        return std::optional<double>();
    }
    const auto plain = decimal_point_text(cell, decimal_);
    double value = 0;
    if (plain) {
        const char* end = plain->data() + plain->size();
        const auto [ptr, error] = std::from_chars(plain->data(), end, value);
        if (error == std::errc() && ptr == end && std::isfinite(value)) {
            return std::optional<double>(value);
        }
    }
    return Failure{not_a_number(place(row, name), cell, decimal_)};
}

std::optional<std::string> decimal_point_text(std::string_view cell, char decimal) {
    std::string plain(csv::trimmed(cell));
    if (decimal == ',') {
        if (plain.find('.') != std::string::npos) {
            return std::nullopt; // a point where the list has decimal commas
        }
        std::replace(plain.begin(), plain.end(), ',', '.');
    }
    return plain;
}

std::string not_a_number(const std::string& place, std::string_view cell, char decimal) {
    return place + " \"" + std::string(cell) + "\", which is not a number" +
           (decimal == ',' ? " with a decimal comma." : ".");
}

} // namespace teravine
