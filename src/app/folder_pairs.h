// SPDX-License-Identifier: GPL-3.0-or-later
// The air-dried and glycolated patterns of a folder paired by the stem their names share:
// by the lab's usual suffixes, or by two patterns of the user's such as "*_1.raw" and
// "*_2.raw". Only files of a format the readers know take part.
#pragma once

#include "text/outcome.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace teravine {

// A pattern pair under its sample's name.
struct PatternPair {
    std::string name;
    std::string ad; // paths
    std::string eg;
};

struct UnpairedFile {
    std::string path;
    std::string reason; // "no EG partner", ...
};

struct FolderPairing {
    std::vector<PatternPair> pairs;     // in the natural order of their names ("S2" before "S10")
    std::vector<UnpairedFile> unpaired; // in the order of their file names
};

// What a file's name says of its side by the usual suffixes at the end of its name, before
// the extension, in any case: "AD" the air-dried, "EG" or "gly" the glycolated, whether a
// "_", "-", blank or "." stands before it or not ("pit 3_AD.raw", "pit 3-gly.raw",
// "pit 3EG.raw"); and the stem before the suffix and its separator ("pit 3"). Nothing for
// a name with neither.
struct NamedSide {
    bool glycolated = false;
    std::string stem;
};
std::optional<NamedSide> side_of_name(std::string_view file_name);

// Two patterns of file names, each with one '*' (the stem) and otherwise literal but for
// '?', any one character; matched in any case. Empty: the usual suffixes.
struct PairingRule {
    std::string ad;
    std::string eg;
};
// Why the rule cannot be used ("--ad wants one '*' ..."), in the words of `ad_name` and
// `eg_name`; nothing when it can.
std::optional<std::string> pairing_rule_problem(const PairingRule& rule, std::string_view ad_name,
                                                std::string_view eg_name);

// The files of `folder` (names without the folder) paired: files of one stem (in any case)
// make a pair when they are one air-dried and one glycolated file; every other pattern file
// is unpaired with the reason. Files of no pattern format are passed over. A pair is named
// after the air-dried file's stem, or its whole name without the extension when the stem is
// empty.
FolderPairing pair_files(const std::string& folder, const std::vector<std::string>& names,
                         const PairingRule& rule = {});

// The same for the regular files in the folder (not its subfolders); a folder that cannot be
// read, or holds more than kMostFolderEntries entries, is refused.
inline constexpr std::size_t kMostFolderEntries = 100000;
Outcome<FolderPairing> pair_folder(const std::string& folder, const PairingRule& rule = {});

} // namespace teravine
