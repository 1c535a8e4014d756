// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/result_csv.h"

#include "model/broadening.h"

#include <charconv>
#include <cmath>

namespace teravine {
namespace {

// The shortest text that reads back to the same float, always with '.'.
std::string full_precision(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

// A corrected width of -1 stands for "no width": the rule could not correct it.
std::optional<float> corrected_field(float width) {
    return width == -1.0f ? std::nullopt : std::optional<float>(width);
}

std::string optional_field(const std::optional<float>& value) {
    return value ? full_precision(*value) : std::string();
}

bool corrected_away(float measured, float corrected) {
    return corrected == -1.0f && measured != -1.0f;
}

} // namespace

std::string_view status_text(SampleStatus status) {
    switch (status) {
    case SampleStatus::ok:
        return "ok";
    case SampleStatus::above_diagonal:
        return "above the diagonal";
    case SampleStatus::below_k3_curve:
        return "below the k = 3 curve";
    case SampleStatus::narrower_than_instrument:
        return "narrower than the instrument";
    case SampleStatus::outside_correction_table:
        return "outside the correction table";
    case SampleStatus::not_computable:
        return "not computable";
    }
    return "not computable";
}

SampleStatus sample_status(const TreatedPair& sample, float ad_measured, float eg_measured,
                           float ad, float eg, const CsvTreatment& treatment) {
    if (corrected_away(ad_measured, ad) || corrected_away(eg_measured, eg)) {
        // Every rule refuses a width below b; the table also refuses what it does not hold.
        const bool below_b =
            ad_measured < treatment.broadening || eg_measured < treatment.broadening;
        if (treatment.rule == kRuleTable && !below_b) {
            return SampleStatus::outside_correction_table;
        }
        return below_b ? SampleStatus::narrower_than_instrument : SampleStatus::not_computable;
    }
    const Placement where = sample.found.place.where;
    if (where == Placement::above_diagonal) {
        return SampleStatus::above_diagonal;
    }
    if (where != Placement::inside) {
        // find_k also refuses widths that are not finite or not above 0.
        const bool plain = std::isfinite(ad) && std::isfinite(eg) && ad > 0;
        return plain ? SampleStatus::below_k3_curve : SampleStatus::not_computable;
    }
    return sample.found.values ? SampleStatus::ok : SampleStatus::not_computable;
}

std::string result_csv_header() {
    return "name,index,ad_measured,eg_measured,ad,eg,status,n,n_int,s_pct,k,nfp,reichweite,rule,"
           "broadening";
}

std::string result_csv_row(const TreatedPair& sample, const WidthFile& measured,
                           const WidthFile& corrected, const CsvTreatment& whole) {
    const std::size_t i = sample.index;
    CsvTreatment treatment = whole;
    treatment.broadening = measured.broadening_of(i); // a listed sample's own

    const float ad = corrected.ad[i];
    const float eg = corrected.eg[i];
    const SampleStatus status =
        sample_status(sample, measured.ad[i], measured.eg[i], ad, eg, treatment);
    CsvRow row{sample.name,          i + 1,
               measured.ad[i],       measured.eg[i],
               corrected_field(ad),  corrected_field(eg),
               status_text(status),  std::nullopt,
               treatment.reichweite, rule_name(treatment.rule),
               treatment.broadening};
    if (status == SampleStatus::ok) {
        const SampleValues& v = *sample.found.values;
        row.values = CsvValues{v.n, v.n_int, v.s_pct, v.k, sample.nfp};
    }
    return result_csv_line(row);
}

std::string result_csv_line(const CsvRow& row) {
    std::string line = csv_field(row.name) + ',' + std::to_string(row.index) + ',' +
                       full_precision(row.ad_measured) + ',' + full_precision(row.eg_measured) +
                       ',' + optional_field(row.ad) + ',' + optional_field(row.eg) + ',' +
                       csv_field(row.status) + ',';
    if (row.values) {
        const CsvValues& v = *row.values;
        line += full_precision(v.n) + ',' + std::to_string(v.n_int) + ',' +
                full_precision(v.s_pct) + ',' + full_precision(v.k) + ',' +
                (v.nfp ? std::to_string(*v.nfp) : std::string()) + ',';
    } else {
        line += ",,,,,";
    }
    return line + csv_field(row.reichweite) + ',' + csv_field(row.rule) + ',' +
           optional_field(row.broadening);
}

std::string uncertainty_csv_header() {
    return ",n_int_low,n_int_high,s_pct_low,s_pct_high,k_low,k_high,nfp_low,nfp_high,cut";
}

std::string uncertainty_csv_fields(const std::optional<WidthUncertainty>& u) {
    if (!u) {
        return ",,,,,,,,,";
    }
    std::string fields;
    for (const ValueInterval* v : {&u->n, &u->s_pct, &u->k, &u->nfp}) {
        fields += ',' + full_precision(v->low) + ',' + full_precision(v->high);
    }
    return fields + (u->cut() ? ",yes" : ",no");
}

std::string csv_number(float value) {
    return full_precision(value);
}

std::string csv_field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

} // namespace teravine
