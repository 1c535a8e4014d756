// SPDX-License-Identifier: GPL-3.0-or-later
// The named sample list: the user's spreadsheet of samples saved as CSV (RFC 4180).
// A header line names the columns `name`, `ad` and `eg`, and optionally `broadening`,
// `u_ad`, `u_eg`, `quality_ad` and `quality_eg`, in any order; then one sample a line.
// A quality is "ok", or the reasons to doubt the width joined by ';' ("weak;edge"), as
// `measure` writes them; an empty one is no doubt stated. Fields are separated by
// commas with "." as the decimal point, or, when the header holds a semicolon, by
// semicolons with "," as the decimal point. Fields may be quoted, their quotes doubled;
// lines end in CR LF or LF; blank lines are skipped.
#pragma once

#include "batch/width_file.h"
#include "identify/sample_list.h"
#include "identify/uncertainty.h"
#include "text/outcome.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace teravine {

inline constexpr std::size_t kMaxListSamples = 32767;

struct ListedSample {
    std::string name;
    float ad = 0; // the widths as measured, degrees 2-theta
    float eg = 0;
    float broadening = 0;      // 0 when the list has no broadening column
    std::optional<float> u_ad; // the standard uncertainty of each width, when listed
    std::optional<float> u_eg;
    std::string quality_ad; // as listed: "ok", the reasons to doubt it, or empty
    std::string quality_eg;
    int line = 0; // where it stands in the list, from 1
    // The mean layers of the stacks from the air-dried pattern's 001 profile, for a pair
    // measured from its patterns; a list file holds none.
    std::optional<float> n_profile;
};

struct NamedList {
    std::vector<ListedSample> samples;
    bool has_broadening = false;
};

// Failures name the list (`subject`), the line and the column: a missing or repeated
// column, an unknown column, a field count that differs from the header's, an open
// quote, a field that is not a number, a width or broadening that is not finite, a
// negative broadening or uncertainty, more than 32767 samples, bytes that are not text.
Outcome<NamedList> read_sample_list_text(std::string_view content, const std::string& subject);
// subject 'The list "path"'.
Outcome<NamedList> read_sample_list_file(const std::string& path);

// The list as the treatment takes a width file: the title given, every sample with its
// name, and each with its own broadening when the samples differ in it (then `broadening`
// is that of the first sample).
WidthFile widths_of_list(const NamedList& list, std::string title);
// The one broadening every sample shares (0 for an empty list), or nothing.
std::optional<float> shared_broadening(const NamedList& list);

// The sigmas of a sample's interval: its own u from its measurement where it has one (a
// lone u_ad stands for both widths), otherwise the table's sigmas, if any. The
// correlation, the broadening's sigma and the region's size come from the table's.
std::optional<WidthSigmas> sample_sigmas(std::optional<float> u_ad, std::optional<float> u_eg,
                                         const std::optional<WidthSigmas>& table);

// Whether a path names a sample list rather than a width file: it ends in ".csv".
bool is_sample_list_path(std::string_view path);

// "Sample pit B: doubtful widths, AD weak, EG edge;flank": what standard error says of a
// listed pair whose widths are doubted; nothing when neither is.
std::optional<std::string> listed_doubt(std::string_view name, std::string_view quality_ad,
                                        std::string_view quality_eg);

// The header and the line of one sample as this program writes a list ("." decimals,
// the name and qualities quoted when they need it, the u columns when any sample has them,
// the quality columns when asked for).
std::string sample_list_header(bool with_u, bool with_quality = false);
std::string sample_list_line(const ListedSample& sample, bool with_u, bool with_quality = false);

} // namespace teravine
