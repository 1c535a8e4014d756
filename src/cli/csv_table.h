// SPDX-License-Identifier: GPL-3.0-or-later
// A small CSV table with named columns, read strictly: the lists `cis fit` and `cis apply`
// take. Refusals name the list, the line and the column.
#pragma once

#include "text/outcome.h"

#include <optional>
#include <string>
#include <vector>

namespace teravine::cli {

class CsvTable {
public:
    // Reads the file ("-": standard input). Every header name must be one of `known`, each
    // once; the names of `needed` must be there. Rows of another field count are refused.
    static Outcome<CsvTable> read(const std::string& path, const std::vector<std::string>& known,
                                  const std::vector<std::string>& needed);

    struct Row {
        std::vector<std::string> cells;
        int line = 0;
    };

    bool has(const std::string& column) const;
    const std::vector<Row>& rows() const { return rows_; }
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
    std::vector<Row> rows_;
    char decimal_ = '.';
};

} // namespace teravine::cli
