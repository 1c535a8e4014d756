// SPDX-License-Identifier: GPL-3.0-or-later
// The sample table's texts: one row per sample of the list, its cells in the number text
// of the result file, and the rows as tab-separated text for the clipboard or as CSV.
#pragma once

#include "app/lab_calibration.h"
#include "identify/sample_list.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace teravine {

// A sample a treatment or a list could not place: listed after the placed ones, never
// drawn.
struct UnplacedSample {
    std::string name;
    float ad = 0; // as measured
    float eg = 0;
    std::string reason;                // "below the k = 3 curve", ...
    std::optional<float> ad_corrected; // none where the rule could not correct the width
    std::optional<float> eg_corrected;
    std::string quality_ad; // the doubts its list states of each width; empty: none
    std::string quality_eg;
};

// The columns of the table; the four intervals are shown when a sigma is set, the Kübler
// index on the CIS scale, its zone and the zone limits within its u while a CIS calibration
// is loaded. N (profile) is always there, empty for a sample without it.
enum class SampleColumn {
    number,
    ad,
    eg,
    n,
    s,
    k,
    nfp,
    label,
    n_interval,
    s_interval,
    k_interval,
    nfp_interval,
    name,
    ki_cis,
    zone,
    ad_measured, // the widths as measured or typed; AD and EG are those placed, corrected
    eg_measured,
    near_limit,
    broadening, // b, the instrumental broadening removed from the widths measured
    n_profile   // the mean layers of the stacks from the air-dried pattern's 001 profile
};
inline constexpr std::size_t kSampleColumnKinds = 20;

// The columns shown, in order: #, Name, AD measured, EG measured, AD, EG, N, N (profile),
// %S, k, Nfp, then KI (CIS), Zone and Near limit when shown, then the intervals when shown,
// the label, and b last.
std::span<const SampleColumn> sample_columns(bool intervals, bool cis = false);

// "#", "AD", "EG", "N", "%S", "k", "Nfp", "Label", "N interval", "%S interval",
// "k interval", "Nfp interval", "Name", "KI (CIS)", "Zone", "AD measured", "EG measured",
// "Near limit", "b", "N (profile)", by SampleColumn.
const std::array<const char*, kSampleColumnKinds>& sample_column_titles();

// The cell of sample `index` (0-based; "#" shows index + 1), without the blank the
// number text puts before a positive number; an interval "[22, 26]" (" cut" after it
// where the region leaves the model), empty where the sample has none. AD measured and EG
// measured are the widths before the broadening was removed (a click's are those placed),
// b the broadening removed (empty for a click, which has none removed).
// The label of a sample beyond the axes is followed by " (outside the calibrated range)".
// KI (CIS) reads "0.412 ± 0.018" (the value and its standard uncertainty, three decimals)
// and Zone "anchizone", Near limit the zone limits within u of the value ("0.52", as
// cis apply's near_limit), from `lab`'s CIS calibration; all are empty without one and
// for a click. N (profile) reads "10.03", empty for a sample without it.
std::string sample_cell(const PlacedSample& sample, std::size_t index, SampleColumn column,
                        const LabCalibration* lab = nullptr);
// What the table says beside a width cell (measured or corrected) of a width found
// doubtful, by the measuring dialog or by the list it came from: "Doubtful: " and its
// quality ("Doubtful: weak;shoulder"). Empty for a width measured "ok" or never doubted
// and for the other columns; the cell's own text stays as it is.
std::string sample_cell_doubt(const PlacedSample& sample, SampleColumn column);
// The cell of a sample not placed: its name, its widths as measured and as corrected (none
// where the rule could not correct one), its KI (CIS) and zone, and in the label's column
// "not placed: " and the reason; the other cells empty.
std::string unplaced_cell(const UnplacedSample& sample, SampleColumn column,
                          const LabCalibration* lab = nullptr);
std::string unplaced_cell_doubt(const UnplacedSample& sample, SampleColumn column);

// The header and the given rows, one line each, cells separated by tabs; lines end in LF.
// Rows count the samples first, then those not placed (ascending). KI (CIS) and Zone come
// when `lab` holds a CIS calibration of the Kübler index.
std::string sample_rows_tsv(const SampleList& samples, const std::vector<UnplacedSample>& unplaced,
                            const std::vector<std::size_t>& rows, bool intervals,
                            const LabCalibration* lab = nullptr);

// The text with each tab and line break made a blank: a cell of one line.
std::string one_line(std::string text);

// The whole table as CSV (RFC 4180 quoting, LF line ends) in the columns of
// `treat --csv` (name first, the intervals' bounds as numbers when shown), then, when
// `lab` holds a CIS calibration of the Kübler index, ki_cis, u_ki_cis, zone, zone_limits and
// near_limit, as teravine-cli measure --cis writes them, and last n_profile (empty for a
// sample without it): a row per sample, then a row per sample not placed with its reason as
// status.
std::string sample_table_csv(const SampleList& samples, const std::vector<UnplacedSample>& unplaced,
                             std::string_view reichweite, bool intervals,
                             const LabCalibration* lab = nullptr);

} // namespace teravine
