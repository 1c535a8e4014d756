// SPDX-License-Identifier: GPL-3.0-or-later
// Any pattern file Teravine reads, its reader chosen by the file's content and suffix,
// and the one scan of it that is to be measured.
#pragma once

#include "formats/pattern_file.h"
#include "text/outcome.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace teravine {

// A 2θ range on the Cu Kα scale, as the peaks are looked for in.
struct CopperSpan {
    double lo = 0, hi = 0;
};

// What the user says of a file beyond its name.
struct PatternChoice {
    std::optional<std::size_t> scan;  // 1-based, for a file of several scans
    std::optional<double> wavelength; // Kα1 in ångström, for a file that does not state it
    std::optional<double> alpha2_ratio = {}; // I(Kα2) / I(Kα1) to fit, over the file's own
    // The range that will be measured: of a file of several scans without a choice, the only
    // scan that covers it is taken.
    std::optional<CopperSpan> covering = {};
    // How the front end makes the choice of a scan, in its own terms, for the refusal of a
    // file of several without one: "FILE holds 2 scans; choose one with --scan N:".
    std::string_view how_to_choose = "choose one";
};

// The refusal of a pattern file of that many bytes, more than any pattern needs: what the
// readers say of it, for a front end that knows a file's size before it has its bytes.
std::optional<std::string> pattern_size_refusal(const std::string& path, std::uintmax_t bytes);

// Every scan of the file, with its format (pattern_formats). Files over 64 MiB and files
// that are not regular files are refused before they are read. With Digest::sha256 the
// file also carries the SHA-256 of the very bytes its scans were read from.
enum class Digest { none, sha256 };
Outcome<PatternFile> read_pattern_scans(const std::string& path, Digest digest = Digest::none);

// The scan the choice names (the only one when there is one; of a file of several without
// a choice, the only one that covers the choice's range, said in `note` when given; else
// refused, the message listing each scan's 2θ span and points), with the chosen wavelength
// when the file states none; a file stating another is refused.
Outcome<Pattern> choose_scan(PatternFile file, const PatternChoice& choice, const std::string& path,
                             std::string* note = nullptr);

// A scan as a list of them shows it: "4° to 14°, 1001 points (its name)", the angles to
// four significant digits.
std::string scan_description(const Pattern& scan);

// read_pattern_scans, then choose_scan.
Outcome<Pattern> read_pattern_file(const std::string& path, const PatternChoice& choice = {},
                                   std::string* note = nullptr);

} // namespace teravine
