// SPDX-License-Identifier: GPL-3.0-or-later
// The treatment as a tidy table beside the result file: one CSV row per sample of the
// width file, with the widths as measured and as corrected, the reason of every "Error"
// line, and the values at full precision.
#pragma once

#include "batch/treatment.h"
#include "batch/width_file.h"
#include "identify/uncertainty.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace teravine {

enum class SampleStatus {
    ok,
    above_diagonal,
    below_k3_curve,
    narrower_than_instrument,
    outside_correction_table,
    not_computable,
};

// "ok", "above the diagonal", "below the k = 3 curve", "narrower than the instrument",
// "outside the correction table" or "not computable".
std::string_view status_text(SampleStatus status);

// What a row says of the whole treatment.
struct CsvTreatment {
    std::string reichweite; // "R0", "R1" or "R3"
    std::int16_t rule = 0;  // the broadening rule, 0..3
    float broadening = 0;   // b of the width file
};

// Why the treatment took the sample as it did: a width that the broadening rule could
// not correct (below b, or beyond the correction table), then where find_k left it.
SampleStatus sample_status(const TreatedPair& sample, float ad_measured, float eg_measured,
                           float ad, float eg, const CsvTreatment& treatment);

// The values of a placed sample, as a row gives them.
struct CsvValues {
    float n = 0;
    std::int16_t n_int = 0;
    float s_pct = 0;
    float k = 0;
    std::optional<int> nfp; // empty when none could be computed
};

// One row of the table, whoever placed the sample: the treatment, or the window for its
// placed and its unplaced samples. An empty field is an empty optional.
struct CsvRow {
    std::string_view name;
    std::size_t index = 0; // 1-based
    float ad_measured = 0;
    float eg_measured = 0;
    std::optional<float> ad; // as corrected
    std::optional<float> eg;
    std::string_view status; // "ok" or the reason
    std::optional<CsvValues> values;
    std::string_view reichweite;
    std::string_view rule; // rule_name, empty when no rule was applied
    std::optional<float> broadening;
};

// The header line, and a row (without its line end).
std::string result_csv_header();
std::string result_csv_line(const CsvRow& row);

// The row of one sample of a treatment.
std::string result_csv_row(const TreatedPair& sample, const WidthFile& measured,
                           const WidthFile& corrected, const CsvTreatment& treatment);

// With uncertainties: the columns after the row's own, the interval of N (rounded), %S,
// k and Nfp and whether the region left the model ("yes"/"no"); empty for a sample
// without values. Each begins with its comma.
std::string uncertainty_csv_header();
std::string uncertainty_csv_fields(const std::optional<WidthUncertainty>& u);

// A number as every CSV writes it: the shortest text that reads back to the same float,
// with ".".
std::string csv_number(float value);

// A field as RFC 4180 writes it: quoted, its quotes doubled, when it holds a comma, a
// quote or a line break.
std::string csv_field(std::string_view text);

} // namespace teravine
