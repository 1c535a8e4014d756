// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sample_table_text.h"

#include "batch/result_csv.h"
#include "identify/sample_values.h"
#include "identify/uncertainty_text.h"
#include "model/broadening.h"
#include "text/number_text.h"

#include <algorithm>

namespace teravine {
namespace {

bool shows_cis(const LabCalibration* lab) {
    return lab != nullptr && converts_samples(*lab);
}

// Widths to four decimals, as the measuring tool prints them and width files hold them, so
// that a column's numbers line up; the CSV export keeps every digit.
std::string width_cell(float width) {
    return format_fixed(width, 4);
}

std::string interval_cell(const PlacedSample& sample, UncertainQuantity quantity) {
    return sample.uncertainty ? interval_text(*sample.uncertainty, quantity) : std::string();
}

// KI (CIS) as the value and its u, Zone as its name, Near limit as the limits; empty
// without a value.
std::string cis_cell(const std::optional<CisValue>& value, SampleColumn column) {
    if (!value) {
        return {};
    }
    if (column == SampleColumn::zone) {
        return value->zone;
    }
    if (column == SampleColumn::near_limit) {
        return value->near_limit;
    }
    return format_fixed(value->ki_cis, 3) + " ± " + format_fixed(value->u_ki_cis, 3);
}

// Which width a column shows: true the air-dried, false the glycolated; none for the
// columns of other values.
std::optional<bool> width_side(SampleColumn column) {
    switch (column) {
    case SampleColumn::ad:
    case SampleColumn::ad_measured:
        return true;
    case SampleColumn::eg:
    case SampleColumn::eg_measured:
        return false;
    default:
        return std::nullopt;
    }
}

std::string cis_csv_fields(const std::optional<CisValue>& value, const LabCalibration& lab) {
    if (!value) {
        return ",,,," + csv_field(limits_text(lab.limits)) + ',';
    }
    return ',' + csv_number(static_cast<float>(value->ki_cis)) + ',' +
           csv_number(static_cast<float>(value->u_ki_cis)) + ',' + csv_field(value->zone) + ',' +
           csv_field(limits_text(lab.limits)) + ',' + csv_field(value->near_limit);
}

} // namespace

std::string one_line(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

std::span<const SampleColumn> sample_columns(bool intervals, bool cis) {
    using C = SampleColumn;
    static constexpr SampleColumn plain[] = {
        C::number,    C::name, C::ad_measured, C::eg_measured, C::ad,    C::eg,        C::n,
        C::n_profile, C::s,    C::k,           C::nfp,         C::label, C::broadening};
    static constexpr SampleColumn with_intervals[] = {
        C::number, C::name,       C::ad_measured, C::eg_measured, C::ad,
        C::eg,     C::n,          C::n_profile,   C::s,           C::k,
        C::nfp,    C::n_interval, C::s_interval,  C::k_interval,  C::nfp_interval,
        C::label,  C::broadening};
    static constexpr SampleColumn with_cis[] = {
        C::number, C::name,       C::ad_measured, C::eg_measured, C::ad,  C::eg,
        C::n,      C::n_profile,  C::s,           C::k,           C::nfp, C::ki_cis,
        C::zone,   C::near_limit, C::label,       C::broadening};
    static constexpr SampleColumn with_both[] = {
        C::number,     C::name,       C::ad_measured,  C::eg_measured, C::ad,
        C::eg,         C::n,          C::n_profile,    C::s,           C::k,
        C::nfp,        C::ki_cis,     C::zone,         C::near_limit,  C::n_interval,
        C::s_interval, C::k_interval, C::nfp_interval, C::label,       C::broadening};
    if (cis) {
        return intervals ? std::span<const SampleColumn>(with_both)
                         : std::span<const SampleColumn>(with_cis);
    }
    if (intervals) {
        return with_intervals;
    }
    return plain;
}

const std::array<const char*, kSampleColumnKinds>& sample_column_titles() {
    static const std::array<const char*, kSampleColumnKinds> titles{
        "#",           "AD",           "EG",         "N",          "%S",
        "k",           "Nfp",          "Label",      "N interval", "%S interval",
        "k interval",  "Nfp interval", "Name",       "KI (CIS)",   "Zone",
        "AD measured", "EG measured",  "Near limit", "b",          "N (profile)"};
    return titles;
}

std::string sample_cell(const PlacedSample& placed, std::size_t index, SampleColumn column,
                        const LabCalibration* lab) {
    const SampleRecord& sample = placed.record;
    switch (column) {
    case SampleColumn::number:
        return std::to_string(index + 1);
    case SampleColumn::ad:
        return width_cell(sample.iw_ad);
    case SampleColumn::eg:
        return width_cell(sample.iw_eg);
    // A click has no broadening removed: its widths as measured are those placed.
    case SampleColumn::ad_measured:
        return width_cell(placed.origin.measured ? placed.origin.ad : sample.iw_ad);
    case SampleColumn::eg_measured:
        return width_cell(placed.origin.measured ? placed.origin.eg : sample.iw_eg);
    // N, %S, k and Nfp as the label writes them.
    case SampleColumn::n:
        return bare_number_text(static_cast<int>(sample.n_int));
    case SampleColumn::s:
        return bare_number_text(sample.s_pct);
    case SampleColumn::k:
        return format_fixed(sample.k, 2);
    case SampleColumn::nfp:
        return bare_number_text(static_cast<int>(sample.nfp));
    case SampleColumn::label:
        return placed.beyond_range ? sample.label + " (" + kBeyondRange + ")" : sample.label;
    case SampleColumn::name:
        return placed.origin.name;
    case SampleColumn::broadening:
        return placed.origin.measured ? width_cell(placed.origin.broadening) : std::string();
    case SampleColumn::n_profile:
        return placed.origin.n_profile ? format_fixed(*placed.origin.n_profile, 2) : std::string();
    case SampleColumn::n_interval:
        return interval_cell(placed, UncertainQuantity::n);
    case SampleColumn::s_interval:
        return interval_cell(placed, UncertainQuantity::s_pct);
    case SampleColumn::k_interval:
        return interval_cell(placed, UncertainQuantity::k);
    case SampleColumn::nfp_interval:
        return interval_cell(placed, UncertainQuantity::nfp);
    case SampleColumn::ki_cis:
    case SampleColumn::zone:
    case SampleColumn::near_limit:
        return cis_cell(lab != nullptr ? sample_cis(placed.origin, *lab) : std::nullopt, column);
    }
    return {};
}

std::string sample_cell_doubt(const PlacedSample& sample, SampleColumn column) {
    const auto side = width_side(column);
    if (!side) {
        return {};
    }
    const std::string doubt = width_doubt(sample.origin, *side);
    return doubt.empty() ? doubt : "Doubtful: " + doubt;
}

std::string unplaced_cell_doubt(const UnplacedSample& sample, SampleColumn column) {
    const auto side = width_side(column);
    if (!side) {
        return {};
    }
    const std::string& quality = *side ? sample.quality_ad : sample.quality_eg;
    return doubtful(quality) ? "Doubtful: " + quality : std::string();
}

std::string sample_rows_tsv(const SampleList& samples, const std::vector<UnplacedSample>& unplaced,
                            const std::vector<std::size_t>& rows, bool intervals,
                            const LabCalibration* lab) {
    std::string out;
    const std::span<const SampleColumn> columns = sample_columns(intervals, shows_cis(lab));
    const auto line = [&](auto&& field) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            // A listed name may hold a tab or a line break.
            out += one_line(field(columns[c]));
            out += c + 1 < columns.size() ? '\t' : '\n';
        }
    };
    line([&](SampleColumn c) {
        return std::string(sample_column_titles()[static_cast<std::size_t>(c)]);
    });
    for (const std::size_t row : rows) {
        if (row < samples.size()) {
            line([&](SampleColumn c) { return sample_cell(samples[row], row, c, lab); });
        } else if (row - samples.size() < unplaced.size()) {
            line([&](SampleColumn c) {
                return unplaced_cell(unplaced[row - samples.size()], c, lab);
            });
        }
    }
    return out;
}

std::string sample_table_csv(const SampleList& samples, const std::vector<UnplacedSample>& unplaced,
                             std::string_view reichweite, bool intervals,
                             const LabCalibration* lab) {
    const bool cis = shows_cis(lab);
    std::string out = result_csv_header() + (intervals ? uncertainty_csv_header() : "") +
                      (cis ? ",ki_cis,u_ki_cis,zone,zone_limits,near_limit" : "") + ",n_profile\n";
    std::size_t index = 0;
    for (const PlacedSample& placed : samples) {
        const SampleRecord& r = placed.record;
        const SampleOrigin& o = placed.origin;
        // A click has no broadening removed: its widths as measured are those placed.
        const float ad_measured = o.measured ? o.ad : r.iw_ad;
        const float eg_measured = o.measured ? o.eg : r.iw_eg;
        const auto nfp = nfp_from_percent(r.fp_pct);
        out += result_csv_line(
            {o.name, ++index, ad_measured, eg_measured, r.iw_ad, r.iw_eg,
             status_text(SampleStatus::ok),
             CsvValues{r.n, r.n_int, r.s_pct, r.k, nfp ? std::optional<int>(*nfp) : std::nullopt},
             reichweite, rule_name(o.rule), o.measured ? o.broadening : 0.0f});
        if (intervals) {
            out += uncertainty_csv_fields(placed.uncertainty);
        }
        if (cis) {
            out += cis_csv_fields(sample_cis(o, *lab), *lab);
        }
        out += ',' + (o.n_profile ? csv_number(*o.n_profile) : std::string()) + '\n';
    }
    for (const UnplacedSample& u : unplaced) {
        out += result_csv_line({u.name, ++index, u.ad, u.eg, u.ad_corrected, u.eg_corrected,
                                u.reason, std::nullopt, reichweite, "", std::nullopt});
        if (intervals) {
            out += uncertainty_csv_fields(std::nullopt);
        }
        if (cis) {
            out += cis_csv_fields(width_cis(u.ad, 0, *lab), *lab);
        }
        out += ",\n";
    }
    return out;
}

std::string unplaced_cell(const UnplacedSample& sample, SampleColumn column,
                          const LabCalibration* lab) {
    switch (column) {
    case SampleColumn::ki_cis:
    case SampleColumn::zone:
    case SampleColumn::near_limit:
        return cis_cell(lab != nullptr ? width_cis(sample.ad, 0, *lab) : std::nullopt, column);
    case SampleColumn::name:
        return sample.name;
    case SampleColumn::ad_measured:
        return width_cell(sample.ad);
    case SampleColumn::eg_measured:
        return width_cell(sample.eg);
    case SampleColumn::ad:
        return sample.ad_corrected ? width_cell(*sample.ad_corrected) : std::string();
    case SampleColumn::eg:
        return sample.eg_corrected ? width_cell(*sample.eg_corrected) : std::string();
    case SampleColumn::label:
        return "not placed: " + sample.reason;
    default:
        return {};
    }
}

} // namespace teravine
