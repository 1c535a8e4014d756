// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/correction_file.h"

#include "text/number_items.h"
#include "text/text_file.h"

namespace teravine {

CorrectionRead read_correction_text(std::string_view content) {
    CorrectionRead read;
    auto opened = NumberItems::over(content);
    if (!opened) {
        read.error = opened.error();
        return read;
    }
    NumberItems& items = opened.value();
    if (!items.line()) {
        read.error = "The file is empty: it has not even a title line.";
        return read;
    }
    CorrectionTable& table = read.table;
    const auto step = items.single("the step of the corrected widths");
    if (!step) {
        read.error = step.error();
        return read;
    }
    table.cor_step = *step;
    const auto start = items.single("the first corrected width");
    if (!start) {
        read.error = start.error();
        return read;
    }
    table.cor_start = *start;

    std::string previous; // the text of the last measured width, for the message
    while (!items.at_end()) {
        const int i = table.cor_count;
        const auto measured = items.single("measured width " + std::to_string(i + 1));
        if (!measured) {
            read.error = measured.error();
            return read;
        }
        if (i >= kMaxCorEntries) {
            read.error = NumberItems::place_text(items.last_place()) +
                         ": the table holds more than 501 measured widths, the most a "
                         "correction table can hold.";
            return read;
        }
        const auto at = static_cast<std::size_t>(i);
        // The lookup interpolates between neighbours: a table that does not increase
        // would turn every width into an error without a word.
        if (i > 0 && !(*measured > table.measured[at - 1])) {
            read.error = NumberItems::place_text(items.last_place()) + " (measured width " +
                         std::to_string(i + 1) + "): " + NumberItems::quoted(items.last_text()) +
                         " is not above the measured width before it, \"" + previous +
                         "\"; the measured widths of a correction table must increase.";
            return read;
        }
        previous = std::string(items.last_text());
        table.measured[at] = *measured;
        table.corrected[at] = static_cast<float>(static_cast<double>(static_cast<float>(i)) *
                                                     static_cast<double>(table.cor_step) +
                                                 static_cast<double>(table.cor_start));
        table.cor_count = static_cast<std::int16_t>(i + 1);
    }
    return read;
}

CorrectionRead read_correction_file(const std::string& path) {
    const auto content = read_text_file(path);
    if (!content) {
        CorrectionRead read;
        read.error = content.error();
        return read;
    }
    return read_correction_text(*content);
}

} // namespace teravine
