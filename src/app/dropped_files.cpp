// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dropped_files.h"

#include "app/folder_pairs.h"
#include "formats/pattern_formats.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace teravine {
namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string suffix_of(const std::string& path) {
    return lower(std::filesystem::path(path).extension().string());
}

bool is_pattern(const std::string& path) {
    const auto suffixes = pattern_suffixes();
    return std::find(suffixes.begin(), suffixes.end(), suffix_of(path)) != suffixes.end();
}

bool names_glycolated(const std::string& path) {
    const auto side = side_of_name(std::filesystem::path(path).filename().string());
    return side && side->glycolated;
}

} // namespace

DroppedFiles classify_dropped(const std::vector<std::string>& paths) {
    DroppedFiles dropped;
    dropped.paths = paths;
    using Kind = DroppedFiles::Kind;
    if (paths.size() == 1) {
        const std::string suffix = suffix_of(paths.front());
        if (suffix == ".json") {
            dropped.kind = Kind::session;
        } else if (suffix == ".csv") {
            dropped.kind = Kind::sample_list;
        } else if (suffix == ".iw") {
            dropped.kind = Kind::width_file;
        } else if (is_pattern(paths.front())) {
            dropped.kind = Kind::patterns;
        }
    } else if (paths.size() == 2 && is_pattern(paths[0]) && is_pattern(paths[1])) {
        dropped.kind = Kind::patterns;
        if (names_glycolated(paths[0]) && !names_glycolated(paths[1])) {
            std::swap(dropped.paths[0], dropped.paths[1]);
        }
    }
    if (dropped.kind == Kind::refused) {
        dropped.paths.clear();
        dropped.refusal =
            "Teravine opens a session (.json), a sample list (.csv), a width file (.IW), or one "
            "or two patterns dropped together; " +
            (paths.size() == 1 ? "\"" + std::filesystem::path(paths.front()).filename().string() +
                                     "\" is none of these."
                               : "these " + std::to_string(paths.size()) + " files are not.");
    }
    return dropped;
}

} // namespace teravine
