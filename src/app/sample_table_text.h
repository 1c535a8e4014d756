// SPDX-License-Identifier: GPL-3.0-or-later
// The sample table's texts: one row per sample of the list, its cells in the number text
// of the result file, and the rows as tab-separated text for the clipboard or as CSV.
#pragma once

#include "identify/sample_list.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace teravine {

enum class SampleColumn { number, ad, eg, n, s, k, nfp, label };
inline constexpr std::size_t kSampleColumns = 8;

// "#", "AD", "EG", "N", "%S", "k", "Nfp", "Label".
const std::array<const char*, kSampleColumns>& sample_column_titles();

// The cell of sample `index` (0-based; "#" shows index + 1), without the blank the
// number text puts before a positive number.
std::string sample_cell(const SampleRecord& sample, std::size_t index, SampleColumn column);

// The header and the given rows (ascending indices of samples), one line each, cells
// separated by tabs; lines end in LF.
std::string sample_rows_tsv(const SampleList& samples, const std::vector<std::size_t>& rows);

// The header and every sample as CSV (RFC 4180 quoting, LF line ends): the whole table.
std::string sample_table_csv(const SampleList& samples);

} // namespace teravine
