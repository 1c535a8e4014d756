// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/width_file.h"

#include "text/number_items.h"
#include "text/text_file.h"

#include <cmath>

namespace teravine {
namespace {

std::string sample_text(int i) {
    return "sample " + std::to_string(i);
}

} // namespace

Outcome<WidthFile> read_width_text(std::string_view content) {
    auto opened = NumberItems::over(content);
    if (!opened) {
        return Failure{opened.error()};
    }
    NumberItems& items = opened.value();
    WidthFile file;
    const auto title = items.line();
    if (!title) {
        return Failure{"The file is empty: it has not even a title line."};
    }
    file.title = std::string(*title);

    const auto count = items.number("the sample count");
    if (!count) {
        return Failure{count.error()};
    }
    const std::string count_where = NumberItems::place_text(items.last_place()) +
                                    ": the sample count " + NumberItems::quoted(items.last_text());
    if (*count != std::trunc(*count)) {
        return Failure{count_where + " is not a whole number."};
    }
    if (*count < 0) {
        return Failure{count_where + " is negative; a file holds 0 to 32767 samples."};
    }
    if (*count > kMaxWidthSamples) {
        return Failure{count_where + " is beyond 32767, the most samples a file can hold."};
    }
    const int m = static_cast<int>(*count);
    file.count = static_cast<std::int16_t>(m);

    const auto broadening = items.single("the broadening value");
    if (!broadening) {
        return Failure{broadening.error()};
    }
    file.broadening = *broadening;

    // m is validated: at most 32767 entries.
    file.ad.reserve(static_cast<std::size_t>(m));
    file.eg.reserve(static_cast<std::size_t>(m));
    const auto ends_after = [m](int done, const std::string& detail) {
        return Failure{"The file ends after " + std::to_string(done) + " of " + std::to_string(m) +
                       " samples" + detail + "."};
    };
    for (int i = 1; i <= m; ++i) {
        if (items.at_end()) {
            return ends_after(i - 1, "");
        }
        const auto ad = items.single("the AD width of " + sample_text(i));
        if (!ad) {
            return Failure{ad.error()};
        }
        if (items.at_end()) {
            return ends_after(i - 1, ": " + sample_text(i) + " has no EG width");
        }
        const auto eg = items.single("the EG width of " + sample_text(i));
        if (!eg) {
            return Failure{eg.error()};
        }
        file.ad.push_back(*ad);
        file.eg.push_back(*eg);
    }
    while (!items.at_end()) {
        (void)items.number("a number after the last sample");
        ++file.unread_numbers;
    }
    return file;
}

std::optional<std::string> unread_numbers_message(const WidthFile& file) {
    if (file.unread_numbers == 0) {
        return std::nullopt;
    }
    const auto plural = [](int n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    return "The width file holds " + plural(file.unread_numbers, "number", "numbers") +
           " after the " + plural(file.count, "sample", "samples") +
           " it announces; they were not used. A decimal comma (0,5 for 0.5) or a wrong "
           "sample count is the usual cause: check the results.";
}

Outcome<WidthFile> read_width_file(const std::string& path) {
    const auto content = read_text_file(path);
    if (!content) {
        return Failure{content.error()};
    }
    return read_width_text(*content);
}

void correct_widths(WidthFile& file, std::int16_t rule, const CorrectionTable& table) {
    for (std::size_t i = 0; i < file.ad.size(); ++i) {
        remove_inst_from_pair(file.ad[i], file.eg[i], file.broadening_of(i), rule, table);
    }
}

} // namespace teravine
