// SPDX-License-Identifier: GPL-3.0-or-later
// A CSV list with named columns, read strictly: the named sample list and the lists of
// standards and widths `cis` takes. A spreadsheet's byte order mark is skipped; fields
// are split by commas with "." decimals, or, when the header holds a semicolon, by
// semicolons with "," decimals (csv_records); blank lines are skipped; bytes that are not
// text, an unknown or repeated column, a row of another field count and too many rows are
// refused, naming the list, the line and the column.
#pragma once

#include "text/outcome.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace teravine {

// What a kind of list may hold, and how its refusals word it.
struct CsvColumns {
    std::vector<std::string> known;
    // What a refusal of an unknown column says after its name: "; its columns are name,
    // cis." Starts with its separator and ends the sentence.
    std::string listed;
    std::size_t max_rows = 0;
    std::string too_many; // after the subject: " holds more than 100000 rows."
};

class CsvTable {
public:
    struct Row {
        std::vector<std::string> cells;
        int line = 0;
    };

    // Reads the list's text; `subject` names it in refusals ('The list "x"'). A check of
    // the header, when given, runs once it is read (or at the end when there is none),
    // before any row; a check of each row as soon as it is read. Their refusals are the
    // reader's.
    using HeaderCheck = std::function<std::optional<std::string>(const CsvTable&)>;
    using RowCheck = std::function<std::optional<std::string>(const CsvTable&, const Row&)>;
    static Outcome<CsvTable> read(std::string_view content, std::string subject,
                                  const CsvColumns& columns, const HeaderCheck& check = {},
                                  const RowCheck& check_row = {});

    const std::string& subject() const { return subject_; }
    int header_line() const { return header_line_; } // 0: no header
    bool has(const std::string& column) const;
    std::optional<std::size_t> column(const std::string& name) const; // its position
    const std::vector<Row>& rows() const { return rows_; }
    char decimal() const { return decimal_; }
    // The cell of the column, blanks trimmed; empty where the table lacks the column.
    std::string text(const Row& row, const std::string& column) const;
    // The cell as a finite number ("." decimals, or "," when the list is split by ';');
    // nothing for an empty cell; a refusal naming the place for anything else.
    Outcome<std::optional<double>> number(const Row& row, const std::string& column) const;
    // "The list "x" has at line 3, column 2 (fwhm)".
    std::string place(const Row& row, const std::string& column) const;

private:
    std::string subject_;
    std::vector<std::string> columns_;
    int header_line_ = 0;
    std::vector<Row> rows_;
    char decimal_ = '.';
};

// A cell's number as std::from_chars reads it: blanks trimmed and a decimal comma made a
// point; nothing when a list of decimal commas holds a point.
std::optional<std::string> decimal_point_text(std::string_view cell, char decimal);

// "The list "x" has at line 3, column 2 (fwhm) "0.3x", which is not a number." or "... with
// a decimal comma."
std::string not_a_number(const std::string& place, std::string_view cell, char decimal);

} // namespace teravine
