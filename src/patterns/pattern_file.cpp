// SPDX-License-Identifier: GPL-3.0-or-later
#include "patterns/pattern_file.h"

namespace teravine {

Outcome<PatternFile> checked_scans(PatternFile file, const std::string& path) {
    if (file.scans.empty()) {
        return Failure{pattern_subject(path) + " is not a pattern: it holds no scan."};
    }
    const bool several = file.scans.size() > 1;
    for (std::size_t s = 0; s < file.scans.size(); ++s) {
        Pattern& scan = file.scans[s];
        scan.name = pattern_name(path);
        const std::string subject =
            pattern_subject(path) + (several ? ", scan " + std::to_string(s + 1) + "," : "");
        const auto place = [](std::size_t i) { return "point " + std::to_string(i + 1); };
        if (const auto problem = pattern_problem(scan, subject, place)) {
            return Failure{*problem};
        }
    }
    return file;
}

} // namespace teravine
