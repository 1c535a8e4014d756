// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sample_table_text.h"

#include "batch/result_csv.h"
#include "text/number_text.h"

namespace teravine {
namespace {

std::string trimmed(std::string text) {
    return !text.empty() && text.front() == ' ' ? text.substr(1) : text;
}

template <class Cell>
std::string rows_text(const SampleList& samples, const std::vector<std::size_t>& rows, char sep,
                      Cell cell) {
    std::string out;
    const auto line = [&](auto&& field) {
        for (std::size_t c = 0; c < kSampleColumns; ++c) {
            out += field(static_cast<SampleColumn>(c));
            out += c + 1 < kSampleColumns ? sep : '\n';
        }
    };
    line([&](SampleColumn c) { return cell(sample_column_titles()[static_cast<std::size_t>(c)]); });
    for (const std::size_t row : rows) {
        line([&](SampleColumn c) { return cell(sample_cell(samples[row].record, row, c)); });
    }
    return out;
}

} // namespace

const std::array<const char*, kSampleColumns>& sample_column_titles() {
    static const std::array<const char*, kSampleColumns> titles{"#",  "AD", "EG",  "N",
                                                               "%S", "k",  "Nfp", "Label"};
    return titles;
}

std::string sample_cell(const SampleRecord& sample, std::size_t index, SampleColumn column) {
    switch (column) {
    case SampleColumn::number:
        return std::to_string(index + 1);
    case SampleColumn::ad:
        return trimmed(number_text(sample.iw_ad));
    case SampleColumn::eg:
        return trimmed(number_text(sample.iw_eg));
    case SampleColumn::n:
        return trimmed(number_text(static_cast<int>(sample.n_int)));
    case SampleColumn::s:
        return trimmed(number_text(sample.s_pct));
    case SampleColumn::k:
        return format_fixed(sample.k, 2);
    case SampleColumn::nfp:
        return trimmed(number_text(static_cast<int>(sample.nfp)));
    case SampleColumn::label:
        return sample.label;
    }
    return {};
}

std::string sample_rows_tsv(const SampleList& samples, const std::vector<std::size_t>& rows) {
    // A label holds no tab or line break: the cells go as they are.
    return rows_text(samples, rows, '\t', [](std::string text) { return text; });
}

std::string sample_table_csv(const SampleList& samples) {
    std::vector<std::size_t> all(samples.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = i;
    }
    return rows_text(samples, all, ',', [](const std::string& text) { return csv_field(text); });
}

} // namespace teravine
