// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/pattern_file.h"

#include "formats/anode.h"

namespace teravine {
namespace {

// A file that names its anode and states no Kα1 has that anode's lines: a cobalt scan is
// never measured as copper, whichever reader read it.
void take_named_anodes_lines(Pattern& scan) {
    if (scan.wavelength) {
        return;
    }
    if (const auto lines = anode_lines(scan.anode)) {
        scan.wavelength = lines->alpha1;
        scan.alpha2 = lines->alpha2;
    }
}

} // namespace

Outcome<PatternFile> checked_scans(PatternFile file, const std::string& path) {
    if (file.scans.empty()) {
        return Failure{pattern_subject(path) + " is not a pattern: it holds no scan."};
    }
    const bool several = file.scans.size() > 1;
    for (std::size_t s = 0; s < file.scans.size(); ++s) {
        Pattern& scan = file.scans[s];
        scan.name = pattern_name(path);
        take_named_anodes_lines(scan);
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
