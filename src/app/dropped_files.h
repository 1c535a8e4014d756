// SPDX-License-Identifier: GPL-3.0-or-later
// Files dropped onto the main window: what they are opened as, from their suffixes.
#pragma once

#include <string>
#include <vector>

namespace teravine {

struct DroppedFiles {
    enum class Kind { session, sample_list, width_file, patterns, refused } kind = Kind::refused;
    // In the order they are opened: a pattern pair's air-dried file first.
    std::vector<std::string> paths;
    std::string refusal; // why nothing is opened, for the user
};

// One session (.json), one sample list (.csv), one width file (.IW), or one or two patterns
// (any suffix Teravine reads): of two, the one whose name ends in EG or gly (any case, after
// the suffix is taken off) is the glycolated one, else they are taken in the order dropped.
DroppedFiles classify_dropped(const std::vector<std::string>& paths);

} // namespace teravine
